#include "AudioOutput.h"

#include "PulseOutput.h"
#include "SdlOutput.h"

#include <QtGlobal>
#include <cstdio>
#include <utility>

AudioOutput::AudioOutput(Wakeup& onLoss) : m_onLoss(onLoss) {}

AudioOutput::~AudioOutput() = default;

void AudioOutput::choose()
{
    if (!m_device)
        m_device = pick();
}

AudioOutput::Opened AudioOutput::open(Render render, void* userdata)
{
    choose();
    const Opened opened = m_device->open(render, userdata);
    if (opened == Opened::Yes && std::exchange(m_away, false))
        std::fprintf(stderr, "ixomp3: the sound output is back.\n");
    if (opened == Opened::NotNow && !std::exchange(m_away, true))
        std::fprintf(stderr, "ixomp3: no sound output for now (%s); waiting for one.\n",
                     m_device->lastError());
    return opened;
}

void AudioOutput::close()
{
    m_away = false;
    if (m_device)
        m_device->close();
}

bool AudioOutput::closeIfLost()
{
    if (!m_device || !m_device->isLost())
        return false;
    std::fprintf(stderr, "ixomp3: the sound output went away; opening it again.\n");
    m_device->close();
    return true;
}

// Decided once, at the first song: a sound server that starts later is reached through SDL
// until the program starts again, as it was before this output existed.
std::unique_ptr<SoundDevice> AudioOutput::pick() const
{
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        auto pulse = std::make_unique<PulseOutput>(m_onLoss);
        if (pulse->connect())
            return pulse;
    }
    return std::make_unique<SdlOutput>(m_onLoss);
}
