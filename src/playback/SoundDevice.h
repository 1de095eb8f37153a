#pragma once

#include <cstddef>

// One way of reaching the sound card, behind AudioOutput. Used from one thread only (the feeder
// thread); the render function handed to open() runs on the device's own audio thread, each
// time it wants count more samples of interleaved stereo floats at AudioOutput's rate. It
// always fills out, with silence where there is nothing to play, and returns false when
// playback is held: a device that keeps what it holds queued for later may then drop it.
class SoundDevice {
public:
    using Render = bool (*)(void* userdata, float* out, std::size_t count);

    enum class Opened {
        Yes,
        // The output is away for now; try again after AudioOutput::RetryInterval.
        NotNow,
        // There will never be an output this way.
        Never,
    };

    SoundDevice() = default;
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;
    virtual ~SoundDevice() = default;

    // Opens the default output and starts it calling render.
    virtual Opened open(Render render, void* userdata) = 0;
    // Once this returns, render is not called again until the next open().
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
    // Whether the open output has gone away under it (headphones pulled, the sound server
    // restarted) and plays nothing more.
    [[nodiscard]] virtual bool isLost() const = 0;
    // Why the last open() failed, for the one message that says so.
    [[nodiscard]] virtual const char* lastError() const = 0;

    // A device that queues more than a volume step may wait behind applies the gain itself, to
    // all it plays from now on and to every later stream, and says so; otherwise it is applied
    // as samples are rendered.
    virtual bool setVolume(float /*gain*/) { return false; }
    // Stops the sound at once, keeping what is queued for resume(), and says whether it could;
    // one that cannot is closed instead.
    virtual bool hold() { return false; }
    virtual void resume() {}
    // Whether what the device still holds of a song replaced mid-way is short enough to be
    // heard out; one that holds more is closed, so the old song stops at once.
    [[nodiscard]] virtual bool holdsLittle() const { return true; }
    // The most the open device may still have to play after the last frame it was given, so
    // that a song's end is heard before the device is closed.
    [[nodiscard]] virtual std::size_t playOutFrames() const = 0;
    // What the device holds, not yet heard, right after it was given all it asked for; 0 for
    // one whose queue is too short to be worth taking from the position.
    [[nodiscard]] virtual std::size_t queuedFrames() const { return 0; }
};
