#include "SdlLibrary.h"

#include "LibrarySymbol.h"

#include <QLibrary>
#include <atomic>
#include <cstdio>

namespace {

std::atomic<bool>& loadedFlag()
{
    static std::atomic<bool> loaded{false};
    return loaded;
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
        library.load() && resolveSymbol(library, "SDL_SetHint", sdl.SetHint) &&
        resolveSymbol(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
        resolveSymbol(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
        resolveSymbol(library, "SDL_AudioInit", sdl.AudioInit) &&
        resolveSymbol(library, "SDL_AudioQuit", sdl.AudioQuit) &&
        resolveSymbol(library, "SDL_GetCurrentAudioDriver", sdl.GetCurrentAudioDriver) &&
        resolveSymbol(library, "SDL_GetError", sdl.GetError) &&
        resolveSymbol(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
        resolveSymbol(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
        resolveSymbol(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
        resolveSymbol(library, "SDL_GetAudioDeviceStatus", sdl.GetAudioDeviceStatus) &&
        resolveSymbol(library, "SDL_AddEventWatch", sdl.AddEventWatch) &&
        resolveSymbol(library, "SDL_DelEventWatch", sdl.DelEventWatch) &&
        resolveSymbol(library, "SDL_FlushEvents", sdl.FlushEvents) &&
        resolveSymbol(library, "SDL_NewAudioStream", sdl.NewAudioStream) &&
        resolveSymbol(library, "SDL_AudioStreamPut", sdl.AudioStreamPut) &&
        resolveSymbol(library, "SDL_AudioStreamGet", sdl.AudioStreamGet) &&
        resolveSymbol(library, "SDL_AudioStreamFlush", sdl.AudioStreamFlush) &&
        resolveSymbol(library, "SDL_FreeAudioStream", sdl.FreeAudioStream) &&
        resolveSymbol(library, "SDL_TLSCleanup", sdl.TLSCleanup);
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
