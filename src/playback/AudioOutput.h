#pragma once

#include "SoundDevice.h"

#include <chrono>
#include <memory>

class Wakeup;

// The sound card, reached the way that costs least: straight through the desktop's sound server
// when one answers at the first song, otherwise through SDL2 (ALSA, or its dummy driver, which
// keeps time silently). Naming an SDL driver in SDL_AUDIODRIVER asks for SDL. The device always
// takes interleaved stereo floats at one fixed rate, so songs are converted once on their way in
// and the device never has to be reopened between songs. Used from the feeder thread only.
//
// When a device goes away while it plays, the owner's wake-up is raised from the device's own
// thread, so that it can close the device with closeIfLost() before it swallows more. One that
// cannot be opened again now is away, and open() is worth trying again every RetryInterval until
// it is back.
class AudioOutput {
public:
    using Render = SoundDevice::Render;
    using Opened = SoundDevice::Opened;

    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    // About 46 ms per buffer through SDL: its thread wakes half as often as with 1,024 frames,
    // and a volume step, applied as a buffer is filled, is still heard within 100 ms; the sound
    // server holds nearly two buffers ahead, so twice this size took 130 ms.
    static constexpr int BufferFrames = 2048;

    // Quick enough that sound returns with the device; a few cheap attempts a second cost
    // nothing measurable.
    static constexpr std::chrono::milliseconds RetryInterval{250};

    explicit AudioOutput(Wakeup& onLoss);
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Picks the way to the sound card at the first song, once for the program's life.
    void choose();
    Opened open(Render render, void* userdata);
    // Whoever closes the device stops looking for one until a song needs it again.
    void close();
    [[nodiscard]] bool isOpen() const { return m_device && m_device->isOpen(); }
    // Closes the device if it has gone away, and says whether it did. What the lost device took
    // but never played is gone with it.
    bool closeIfLost();
    // Whether the last open() found the output away and nothing closed it since.
    [[nodiscard]] bool away() const { return m_away; }

    // As SoundDevice's; before a device is chosen there is nothing to hold and no gain of its
    // own.
    bool setVolume(float gain) { return m_device && m_device->setVolume(gain); }
    bool hold() { return m_device && m_device->hold(); }
    void resume()
    {
        if (m_device)
            m_device->resume();
    }
    [[nodiscard]] bool holdsLittle() const { return !m_device || m_device->holdsLittle(); }
    [[nodiscard]] std::size_t playOutFrames() const
    {
        return m_device ? m_device->playOutFrames() : 0;
    }
    [[nodiscard]] std::size_t queuedFrames() const
    {
        return m_device ? m_device->queuedFrames() : 0;
    }

private:
    [[nodiscard]] std::unique_ptr<SoundDevice> pick() const;

    Wakeup& m_onLoss;
    std::unique_ptr<SoundDevice> m_device;
    bool m_away = false;
};
