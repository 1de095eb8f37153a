#include "SdlLibrary.h"

#include <QLibrary>
#include <atomic>
#include <cstdio>

namespace {

std::atomic<bool>& loadedFlag()
{
    static std::atomic<bool> loaded{false};
    return loaded;
}

template <class Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    // QLibrary hands out untyped pointers; the declared type comes from SDL's own header.
    function = reinterpret_cast<Function>(library.resolve(name)); // NOLINT
    return function != nullptr;
}

const SdlLibrary* load()
{
#ifdef Q_OS_WIN
    static QLibrary library(QStringLiteral("SDL2"));
#else
    static QLibrary library(QStringLiteral("SDL2-2.0"), 0);
#endif
    static SdlLibrary sdl;
    const bool complete =
        library.load() && resolve(library, "SDL_SetHint", sdl.SetHint) &&
        resolve(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
        resolve(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
        resolve(library, "SDL_AudioInit", sdl.AudioInit) &&
        resolve(library, "SDL_AudioQuit", sdl.AudioQuit) &&
        resolve(library, "SDL_GetCurrentAudioDriver", sdl.GetCurrentAudioDriver) &&
        resolve(library, "SDL_GetError", sdl.GetError) &&
        resolve(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
        resolve(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
        resolve(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
        resolve(library, "SDL_GetAudioDeviceStatus", sdl.GetAudioDeviceStatus) &&
        resolve(library, "SDL_AddEventWatch", sdl.AddEventWatch) &&
        resolve(library, "SDL_DelEventWatch", sdl.DelEventWatch) &&
        resolve(library, "SDL_FlushEvents", sdl.FlushEvents) &&
        resolve(library, "SDL_NewAudioStream", sdl.NewAudioStream) &&
        resolve(library, "SDL_AudioStreamPut", sdl.AudioStreamPut) &&
        resolve(library, "SDL_AudioStreamGet", sdl.AudioStreamGet) &&
        resolve(library, "SDL_AudioStreamFlush", sdl.AudioStreamFlush) &&
        resolve(library, "SDL_FreeAudioStream", sdl.FreeAudioStream) &&
        resolve(library, "SDL_TLSCleanup", sdl.TLSCleanup);
    if (!complete) {
        std::fprintf(stderr, "ixomp3: cannot use the SDL library for sound: %s\n",
                     qPrintable(library.errorString()));
        return nullptr;
    }
    loadedFlag().store(true);
    return &sdl;
}

} // namespace

const SdlLibrary* SdlLibrary::get()
{
    static const SdlLibrary* const sdl = load();
    return sdl;
}

bool SdlLibrary::isLoaded()
{
    return loadedFlag().load();
}
