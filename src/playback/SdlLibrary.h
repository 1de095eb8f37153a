#pragma once

#include <SDL2/SDL.h>

// SDL's audio functions, taken from the SDL library the first time sound is needed rather than
// when the program starts: the library brings some thirty others with it (sound servers, codecs,
// display libraries), which would hold up the splash and weigh on an idle player.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_AudioInit) AudioInit = nullptr;
    decltype(&SDL_AudioQuit) AudioQuit = nullptr;
    decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver = nullptr;
    decltype(&SDL_GetError) GetError = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus = nullptr;
    decltype(&SDL_AddEventWatch) AddEventWatch = nullptr;
    decltype(&SDL_DelEventWatch) DelEventWatch = nullptr;
    decltype(&SDL_FlushEvents) FlushEvents = nullptr;
    decltype(&SDL_NewAudioStream) NewAudioStream = nullptr;
    decltype(&SDL_AudioStreamPut) AudioStreamPut = nullptr;
    decltype(&SDL_AudioStreamGet) AudioStreamGet = nullptr;
    decltype(&SDL_AudioStreamFlush) AudioStreamFlush = nullptr;
    decltype(&SDL_FreeAudioStream) FreeAudioStream = nullptr;
    decltype(&SDL_TLSCleanup) TLSCleanup = nullptr;

    // Loads the library on first use, from any thread; null (told once on standard error) when
    // it cannot be loaded.
    static const SdlLibrary* get();
    // Whether get() has loaded it, without loading it.
    static bool isLoaded();
};
