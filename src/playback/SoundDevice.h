#pragma once

#include <cstddef>

// One way of reaching the sound card, behind AudioOutput. Used from one thread only (the feeder
// thread); the render function handed to open() runs on the device's own audio thread, each
// time it wants count more samples of interleaved stereo floats at AudioOutput's rate.
class SoundDevice {
public:
    using Render = void (*)(void* userdata, float* out, std::size_t count);

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
};
