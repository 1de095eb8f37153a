#pragma once

#include <SDL2/SDL.h>
#include <chrono>

class Wakeup;

// The sound card as SDL2 presents it: owns the audio subsystem for as long as this object lives
// and at most one open device at a time. The device always takes interleaved stereo floats at
// one fixed rate, so songs are converted once on their way in and the device never has to be
// reopened between songs. If the desktop's default output cannot be opened, SDL's dummy driver
// keeps time silently instead. Used from one thread only (the feeder thread); the callback
// handed to open() runs on SDL's audio thread.
//
// A device can go away while it plays (headphones pulled, the sound server restarted). SDL then
// plays nothing more of it, though some drivers go on calling back and throw the sound away;
// the owner's wake-up is raised at once, on whichever SDL thread noticed, so that it can close
// the device with closeIfLost() before it swallows more. A machine that never had a device
// plays on the dummy driver from the start; one that had a device and cannot open it now is
// away, and open() is worth trying again every RetryInterval until the device is back.
class AudioOutput {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    // About 46 ms: the device's thread wakes half as often as with 1,024 frames, and a volume
    // step, applied as a buffer is filled, is still heard within 100 ms; the sound server holds
    // nearly two buffers ahead, so twice this size took 130 ms.
    static constexpr int BufferFrames = 2048;

    // Quick enough that sound returns with the device; a few cheap attempts a second cost
    // nothing measurable.
    static constexpr std::chrono::milliseconds RetryInterval{250};

    enum class Opened {
        Yes,
        // The output is away for now; try again after RetryInterval.
        NotNow,
        // Not even the dummy driver opens: there will never be an output.
        Never,
    };

    explicit AudioOutput(Wakeup& onLoss);
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Opens the default device and starts it running. Falls back to the dummy driver only while
    // no real device has ever opened; after that a failure means the output is away for now.
    Opened open(SDL_AudioCallback callback, void* userdata);
    // Whoever closes the device stops looking for one until a song needs it again.
    void close();
    [[nodiscard]] bool isOpen() const { return m_device != 0; }
    // Closes the device if SDL has given up on it, and says whether it did. What the lost
    // device took but never played is gone with it.
    bool closeIfLost();
    // Whether the last open() found the output away and nothing closed it since.
    [[nodiscard]] bool away() const { return m_away; }

private:
    enum class Subsystem { None, Default, DummyOnly };

    static int SDLCALL watchEvents(void* userdata, SDL_Event* event);
    bool initSubsystem();
    bool switchToDummy();
    SDL_AudioDeviceID openDevice(SDL_AudioCallback callback, void* userdata);
    bool openAny(SDL_AudioCallback callback, void* userdata);

    Wakeup& m_onLoss;
    Subsystem m_subsystem = Subsystem::None;
    bool m_watching = false;
    bool m_onDummy = false;
    bool m_hadRealDevice = false;
    bool m_away = false;
    SDL_AudioDeviceID m_device = 0;
};
