#include "SdlOutput.h"

#include "AudioOutput.h"
#include "SdlLibrary.h"
#include "Wakeup.h"

#include <cstdio>
#include <cstring>

SdlOutput::SdlOutput(Wakeup& onLoss) : m_onLoss(onLoss) {}

SdlOutput::~SdlOutput()
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

SoundDevice::Opened SdlOutput::open(Render render, void* userdata)
{
    // The device's thread reads these, so they change only while it is closed.
    if (m_device == 0) {
        m_render = render;
        m_userdata = userdata;
    }
    if (openAny())
        return Opened::Yes;
    return m_hadRealDevice ? Opened::NotNow : Opened::Never;
}

bool SdlOutput::openAny()
{
    if (m_device != 0)
        return true;
    if (SdlLibrary::get() == nullptr)
        return false;
    if (m_subsystem == Subsystem::None && !initSubsystem())
        return false;
    m_device = openDevice();
    if (m_device == 0 && !m_onDummy && !m_hadRealDevice && switchToDummy())
        m_device = openDevice();
    if (m_device == 0)
        return false;
    m_hadRealDevice = m_hadRealDevice || !m_onDummy;
    SdlLibrary::get()->PauseAudioDevice(m_device, 0);
    return true;
}

void SdlOutput::close()
{
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

bool SdlOutput::isLost() const
{
    return m_device != 0 && SdlLibrary::get()->GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED;
}

const char* SdlOutput::lastError() const
{
    const SdlLibrary* sdl = SdlLibrary::get();
    return sdl != nullptr ? sdl->GetError() : "no SDL library";
}

// Runs on SDL's audio thread. SDL hands over a buffer laid out for the float format the
// device was opened with.
void SDLCALL SdlOutput::fill(void* userdata, Uint8* stream, int length)
{
    const auto* self = static_cast<const SdlOutput*>(userdata);
    auto* out =
        reinterpret_cast<float*>(stream); // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
    // Held or not, the buffer is filled: SDL plays it either way.
    static_cast<void>(
        self->m_render(self->m_userdata, out, static_cast<std::size_t>(length) / sizeof(float)));
}

// Runs on the SDL thread that pushed the event, under SDL's lock of its watch list.
int SDLCALL SdlOutput::watchEvents(void* userdata, SDL_Event* event)
{
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0)
        static_cast<const SdlOutput*>(userdata)->m_onLoss.raise();
    return 1;
}

bool SdlOutput::initSubsystem()
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
bool SdlOutput::switchToDummy()
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

SDL_AudioDeviceID SdlOutput::openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = AudioOutput::SampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = AudioOutput::Channels;
    wanted.samples = AudioOutput::BufferFrames;
    wanted.callback = &fill;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    return SdlLibrary::get()->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}
