#include "AudioOutput.h"

#include "SdlLibrary.h"
#include "Wakeup.h"

#include <cstdio>
#include <cstring>
#include <utility>

AudioOutput::AudioOutput(Wakeup& onLoss) : m_onLoss(onLoss) {}

AudioOutput::~AudioOutput()
{
    close();
    // SDL calls a watch under its own lock, so none is still running once this returns.
    if (m_watching)
        SdlLibrary::get()->DelEventWatch(&watchEvents, this);
    if (m_subsystem == Subsystem::Default)
        SdlLibrary::get()->QuitSubSystem(SDL_INIT_AUDIO);
    else if (m_subsystem == Subsystem::DummyOnly)
        SdlLibrary::get()->AudioQuit();
}

AudioOutput::Opened AudioOutput::open(SDL_AudioCallback callback, void* userdata)
{
    if (openAny(callback, userdata)) {
        if (std::exchange(m_away, false))
            std::fprintf(stderr, "ixomp3: the sound output is back.\n");
        return Opened::Yes;
    }
    if (!m_hadRealDevice)
        return Opened::Never;
    if (!std::exchange(m_away, true))
        std::fprintf(stderr, "ixomp3: no sound output for now (%s); waiting for one.\n",
                     SdlLibrary::get()->GetError());
    return Opened::NotNow;
}

bool AudioOutput::openAny(SDL_AudioCallback callback, void* userdata)
{
    if (m_device != 0)
        return true;
    if (SdlLibrary::get() == nullptr)
        return false;
    if (m_subsystem == Subsystem::None && !initSubsystem())
        return false;
    m_device = openDevice(callback, userdata);
    if (m_device == 0 && !m_onDummy && !m_hadRealDevice && switchToDummy())
        m_device = openDevice(callback, userdata);
    if (m_device == 0)
        return false;
    m_hadRealDevice = m_hadRealDevice || !m_onDummy;
    SdlLibrary::get()->PauseAudioDevice(m_device, 0);
    return true;
}

void AudioOutput::close()
{
    m_away = false;
    if (m_device == 0)
        return;
    const SdlLibrary& sdl = *SdlLibrary::get();
    sdl.CloseAudioDevice(m_device);
    m_device = 0;
    // Nobody reads SDL's event queue: the notices that devices came and went are dropped here,
    // so that a player whose output keeps coming and going does not pile them up.
    if (m_subsystem == Subsystem::Default)
        sdl.FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
}

bool AudioOutput::closeIfLost()
{
    if (m_device == 0 || SdlLibrary::get()->GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED)
        return false;
    std::fprintf(stderr, "ixomp3: the sound output went away; opening it again.\n");
    close();
    return true;
}

// Runs on the SDL thread that pushed the event, under SDL's lock of its watch list.
int SDLCALL AudioOutput::watchEvents(void* userdata, SDL_Event* event)
{
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0)
        static_cast<const AudioOutput*>(userdata)->m_onLoss.raise();
    return 1;
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
        sdl.AddEventWatch(&watchEvents, this);
        m_watching = true;
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
