#include "AudioOutput.h"

#include "SdlLibrary.h"

#include <cstdio>
#include <cstring>

AudioOutput::~AudioOutput()
{
    close();
    if (m_subsystem == Subsystem::Default)
        SdlLibrary::get()->QuitSubSystem(SDL_INIT_AUDIO);
    else if (m_subsystem == Subsystem::DummyOnly)
        SdlLibrary::get()->AudioQuit();
}

bool AudioOutput::open(SDL_AudioCallback callback, void* userdata)
{
    if (m_device != 0)
        return true;
    if (SdlLibrary::get() == nullptr)
        return false;
    if (m_subsystem == Subsystem::None && !initSubsystem())
        return false;
    m_device = openDevice(callback, userdata);
    if (m_device == 0 && !m_onDummy && switchToDummy())
        m_device = openDevice(callback, userdata);
    if (m_device == 0)
        return false;
    SdlLibrary::get()->PauseAudioDevice(m_device, 0);
    return true;
}

void AudioOutput::close()
{
    if (m_device == 0)
        return;
    SdlLibrary::get()->CloseAudioDevice(m_device);
    m_device = 0;
}

bool AudioOutput::initSubsystem()
{
    // SDL's audio brings its event system, which would otherwise catch SIGINT and SIGTERM and
    // leave the program unkillable by the session or by kill.
    const SdlLibrary& sdl = *SdlLibrary::get();
    sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl.InitSubSystem(SDL_INIT_AUDIO) == 0) {
        m_subsystem = Subsystem::Default;
        m_onDummy = std::strcmp(sdl.GetCurrentAudioDriver(), "dummy") == 0;
        return true;
    }
    return switchToDummy();
}

// SDL2 never picks its dummy driver by itself, so it is asked for by name. The subsystem's own
// reference count stays as it was, and the destructor releases whichever init succeeded.
bool AudioOutput::switchToDummy()
{
    const SdlLibrary& sdl = *SdlLibrary::get();
    std::fprintf(stderr, "ixomp3: no audio output could be opened (%s); playing silently.\n",
                 sdl.GetError());
    m_onDummy = true;
    if (sdl.AudioInit("dummy") != 0) {
        std::fprintf(stderr, "ixomp3: SDL's dummy audio driver failed too (%s).\n", sdl.GetError());
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
    return SdlLibrary::get()->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}
