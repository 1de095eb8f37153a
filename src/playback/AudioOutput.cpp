#include "AudioOutput.h"

#include <cstdio>

AudioOutput::~AudioOutput()
{
    close();
    if (m_subsystem == Subsystem::Default)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    else if (m_subsystem == Subsystem::DummyOnly)
        SDL_AudioQuit();
}

bool AudioOutput::open(SDL_AudioCallback callback, void* userdata)
{
    if (m_device != 0)
        return true;
    if (m_subsystem == Subsystem::None && !initSubsystem())
        return false;
    m_device = openDevice(callback, userdata);
    if (m_device == 0 && !m_onDummy && switchToDummy())
        m_device = openDevice(callback, userdata);
    if (m_device == 0)
        return false;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void AudioOutput::close()
{
    if (m_device == 0)
        return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
}

bool AudioOutput::initSubsystem()
{
    // SDL's audio brings its event system, which would otherwise catch SIGINT and SIGTERM and
    // leave the program unkillable by the session or by kill.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        m_subsystem = Subsystem::Default;
        m_onDummy = SDL_strcmp(SDL_GetCurrentAudioDriver(), "dummy") == 0;
        return true;
    }
    return switchToDummy();
}

// SDL2 never picks its dummy driver by itself, so it is asked for by name. The subsystem's own
// reference count stays as it was, and the destructor releases whichever init succeeded.
bool AudioOutput::switchToDummy()
{
    std::fprintf(stderr, "ixomp3: no audio output could be opened (%s); playing silently.\n",
                 SDL_GetError());
    m_onDummy = true;
    if (SDL_AudioInit("dummy") != 0) {
        std::fprintf(stderr, "ixomp3: SDL's dummy audio driver failed too (%s).\n", SDL_GetError());
        return false;
    }
    if (m_subsystem == Subsystem::None)
        m_subsystem = Subsystem::DummyOnly;
    return true;
}

SDL_AudioDeviceID AudioOutput::openDevice(SDL_AudioCallback callback, void* userdata)
{
    SDL_AudioSpec wanted{};
    wanted.freq = SampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Channels;
    wanted.samples = BufferFrames;
    wanted.callback = callback;
    wanted.userdata = userdata;
    SDL_AudioSpec obtained{};
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}
