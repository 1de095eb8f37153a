#pragma once

#include "AudioOutput.h"
#include "SoundDevice.h"

#include <SDL2/SDL.h>

class Wakeup;

// The sound card as SDL2 presents it: owns the audio subsystem for as long as this object lives
// and at most one open device at a time. If the desktop's default output cannot be opened,
// SDL's dummy driver keeps time silently instead.
//
// A device can go away while it plays. SDL then plays nothing more of it, though some drivers
// go on calling back and throw the sound away; the owner's wake-up is raised at once, on
// whichever SDL thread noticed, so that it can close the device before it swallows more. A
// machine that never had a device plays on the dummy driver from the start; one that had a
// device and cannot open it now is away, and open() is worth trying again until it is back.
class SdlOutput final : public SoundDevice {
public:
    explicit SdlOutput(Wakeup& onLoss);
    ~SdlOutput() override;

    // Falls back to the dummy driver only while no real device has ever opened; after that a
    // failure means the output is away for now.
    Opened open(Render render, void* userdata) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_device != 0; }
    [[nodiscard]] bool isLost() const override;
    [[nodiscard]] const char* lastError() const override;
    // SDL's buffer and the two the sound server may hold behind it.
    [[nodiscard]] std::size_t playOutFrames() const override
    {
        return 3 * static_cast<std::size_t>(AudioOutput::BufferFrames);
    }

private:
    enum class Subsystem { None, Default, DummyOnly };

    static void SDLCALL fill(void* userdata, Uint8* stream, int length);
    static int SDLCALL watchEvents(void* userdata, SDL_Event* event);
    bool initSubsystem();
    bool switchToDummy();
    SDL_AudioDeviceID openDevice();
    bool openAny();

    Wakeup& m_onLoss;
    Subsystem m_subsystem = Subsystem::None;
    bool m_watching = false;
    bool m_onDummy = false;
    bool m_hadRealDevice = false;
    SDL_AudioDeviceID m_device = 0;
    // Set before the device opens and read by its thread only while it is open.
    Render m_render = nullptr;
    void* m_userdata = nullptr;
};
