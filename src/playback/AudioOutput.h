#pragma once

#include <SDL2/SDL.h>

// The sound card as SDL2 presents it: owns the audio subsystem for as long as this object lives
// and at most one open device at a time. The device always takes interleaved stereo floats at
// one fixed rate, so songs are converted once on their way in and the device never has to be
// reopened between songs. If the desktop's default output cannot be opened, SDL's dummy driver
// keeps time silently instead. Used from one thread only (the feeder thread); the callback
// handed to open() runs on SDL's audio thread.
class AudioOutput {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    // About 93 ms: the device's thread wakes a quarter as often as with SDL's usual buffer,
    // which halves the cost of playing, and a volume change still takes effect at once.
    static constexpr int BufferFrames = 4096;

    AudioOutput() = default;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Opens the device and starts it running. Returns false only if even the dummy driver fails.
    bool open(SDL_AudioCallback callback, void* userdata);
    void close();
    [[nodiscard]] bool isOpen() const { return m_device != 0; }

private:
    enum class Subsystem { None, Default, DummyOnly };

    bool initSubsystem();
    bool switchToDummy();
    SDL_AudioDeviceID openDevice(SDL_AudioCallback callback, void* userdata);

    Subsystem m_subsystem = Subsystem::None;
    bool m_onDummy = false;
    SDL_AudioDeviceID m_device = 0;
};
