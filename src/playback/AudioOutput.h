#pragma once

#include <SDL2/SDL.h>

// The sound card as SDL2 presents it: owns the audio subsystem for as long as this object lives
// and at most one open device at a time. The device always takes interleaved stereo floats at
// one fixed rate, so songs are converted once on their way in and the device never has to be
// reopened between songs. If the desktop's default output cannot be opened, SDL's dummy driver
// keeps time silently instead. Used from one thread only (the feeder thread); the callback
// handed to open() runs on SDL's audio thread.
//
// A device can go away while it plays (headphones pulled, the sound server restarted). SDL then
// plays nothing more of it, though some drivers go on calling back and throw the sound away;
// lost() says so, and the loss listener is told at once, on whichever SDL thread noticed, so
// that the owner can close the device before it swallows more and open the default one again.
class AudioOutput {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    // About 93 ms: the device's thread wakes a quarter as often as with SDL's usual buffer,
    // which halves the cost of playing, and a volume change still takes effect at once.
    static constexpr int BufferFrames = 4096;

    // Runs on an SDL thread; must neither block nor allocate.
    using LossListener = void (*)(void* context);

    AudioOutput(LossListener onLoss, void* context);
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Opens the default device and starts it running. Falls back to the dummy driver only while
    // no real device has ever opened; after that a failure means the output is away for now.
    bool open(SDL_AudioCallback callback, void* userdata);
    void close();
    [[nodiscard]] bool isOpen() const { return m_device != 0; }
    // Whether SDL has given up on the open device; it plays nothing more until reopened.
    [[nodiscard]] bool lost() const;
    // Whether a failed open() is worth trying again later.
    [[nodiscard]] bool mayComeBack() const { return m_hadRealDevice; }

private:
    enum class Subsystem { None, Default, DummyOnly };

    static int SDLCALL watchEvents(void* userdata, SDL_Event* event);
    bool initSubsystem();
    bool switchToDummy();
    SDL_AudioDeviceID openDevice(SDL_AudioCallback callback, void* userdata);

    const LossListener m_onLoss;
    void* const m_lossContext;
    Subsystem m_subsystem = Subsystem::None;
    bool m_watching = false;
    bool m_onDummy = false;
    bool m_hadRealDevice = false;
    SDL_AudioDeviceID m_device = 0;
};
