#include "PulseOutput.h"

#include "AudioOutput.h"
#include "PulseLibrary.h"
#include "Wakeup.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t FrameBytes = AudioOutput::Channels * sizeof(float);

// Held while the feeder thread touches the connection or the stream; libpulse's thread holds
// it while it runs a callback.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop)
    {
        PulseLibrary::get()->lock(loop);
    }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;
    ~LoopLock() { PulseLibrary::get()->unlock(m_loop); }

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace

void PulseOutput::LoopFree::operator()(pa_threaded_mainloop* loop) const
{
    PulseLibrary::get()->loopStop(loop);
    PulseLibrary::get()->loopFree(loop);
}

void PulseOutput::ContextUnref::operator()(pa_context* context) const
{
    PulseLibrary::get()->contextUnref(context);
}

void PulseOutput::StreamUnref::operator()(pa_stream* stream) const
{
    PulseLibrary::get()->streamUnref(stream);
}

PulseOutput::PulseOutput(Wakeup& onLoss) : m_onLoss(onLoss) {}

// The loop's thread is stopped by m_loop's deleter, after the stream and the connection are
// gone and with the lock released, as libpulse requires.
PulseOutput::~PulseOutput()
{
    if (!m_loop)
        return;
    const LoopLock lock(m_loop.get());
    dropStream();
    dropContext();
}

bool PulseOutput::connect()
{
    const PulseLibrary* pa = PulseLibrary::get();
    if (pa == nullptr || (!m_loop && !startLoop()))
        return false;
    const LoopLock lock(m_loop.get());
    if (m_context && pa->contextState(m_context.get()) == PA_CONTEXT_READY)
        return true;
    dropStream();
    dropContext();
    m_context.reset(pa->contextNew(pa->loopApi(m_loop.get()), "IxoMp3"));
    if (!m_context) {
        m_error = PA_ERR_INTERNAL;
        return false;
    }
    pa->contextSetStateCallback(m_context.get(), &contextChanged, this);
    // A server that is not running is not started for us: SDL is the way then.
    if (pa->contextConnect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0) {
        for (;;) {
            const pa_context_state_t state = pa->contextState(m_context.get());
            if (state == PA_CONTEXT_READY)
                return true;
            if (!PA_CONTEXT_IS_GOOD(state))
                break;
            pa->wait(m_loop.get());
        }
    }
    m_error = pa->contextErrno(m_context.get());
    dropContext();
    return false;
}

bool PulseOutput::startLoop()
{
    const PulseLibrary& pa = *PulseLibrary::get();
    m_loop.reset(pa.loopNew());
    if (m_loop && pa.loopStart(m_loop.get()) == 0)
        return true;
    // Never started, so there is no thread to stop.
    if (m_loop)
        pa.loopFree(m_loop.release());
    m_error = PA_ERR_INTERNAL;
    return false;
}

SoundDevice::Opened PulseOutput::open(Render render, void* userdata)
{
    if (m_stream)
        return Opened::Yes;
    if (!connect())
        return Opened::NotNow;
    m_render = render;
    m_userdata = userdata;
    m_lost.store(false);
    const LoopLock lock(m_loop.get());
    return connectStream() ? Opened::Yes : Opened::NotNow;
}

// Called with the loop's lock held.
bool PulseOutput::connectStream()
{
    const PulseLibrary& pa = *PulseLibrary::get();
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE,
                              static_cast<std::uint32_t>(AudioOutput::SampleRate),
                              static_cast<std::uint8_t>(AudioOutput::Channels)};
    m_stream.reset(pa.streamNew(m_context.get(), "IxoMp3", &spec, nullptr));
    if (!m_stream) {
        m_error = pa.contextErrno(m_context.get());
        return false;
    }
    pa.streamSetStateCallback(m_stream.get(), &streamChanged, this);
    pa.streamSetWriteCallback(m_stream.get(), &writeWanted, this);
    pa_buffer_attr wanted{};
    wanted.maxlength = UINT32_MAX;
    wanted.tlength = QueuedFrames * FrameBytes;
    wanted.prebuf = UINT32_MAX;
    wanted.minreq = RequestFrames * FrameBytes;
    wanted.fragsize = UINT32_MAX;
    // Given here, the volume is the stream's from its first sample, and the server does not
    // put back the one it remembers for this program.
    const pa_cvolume volume = streamVolume();
    // The queued length is the whole way to the speaker, the server's own buffer included.
    if (pa.streamConnectPlayback(m_stream.get(), nullptr, &wanted, PA_STREAM_ADJUST_LATENCY,
                                 &volume, nullptr) == 0) {
        for (;;) {
            const pa_stream_state_t state = pa.streamState(m_stream.get());
            if (state == PA_STREAM_READY) {
                const pa_buffer_attr* granted = pa.streamBufferAttr(m_stream.get());
                if (granted != nullptr) {
                    m_queued = granted->tlength / FrameBytes;
                    m_playOut = (std::max(granted->tlength, wanted.tlength) +
                                 std::max(granted->minreq, wanted.minreq)) /
                                FrameBytes;
                }
                return true;
            }
            if (!PA_STREAM_IS_GOOD(state))
                break;
            pa.wait(m_loop.get());
        }
    }
    m_error = pa.contextErrno(m_context.get());
    dropStream();
    return false;
}

void PulseOutput::close()
{
    if (!m_stream)
        return;
    const LoopLock lock(m_loop.get());
    dropStream();
}

bool PulseOutput::setVolume(float gain)
{
    if (gain != m_volume) {
        m_volume = gain;
        sendVolume();
    }
    return true;
}

pa_cvolume PulseOutput::streamVolume() const
{
    const PulseLibrary& pa = *PulseLibrary::get();
    pa_cvolume volume{};
    pa.cvolumeSet(&volume, AudioOutput::Channels, pa.volumeFromLinear(m_volume));
    return volume;
}

// The server applies a new volume to what it has queued as well, so it is heard at once.
void PulseOutput::sendVolume()
{
    if (!m_stream)
        return;
    const PulseLibrary& pa = *PulseLibrary::get();
    const LoopLock lock(m_loop.get());
    const pa_cvolume volume = streamVolume();
    pa_operation* sent = pa.setInputVolume(m_context.get(), pa.streamIndex(m_stream.get()), &volume,
                                           nullptr, nullptr);
    if (sent != nullptr)
        pa.operationUnref(sent);
}

bool PulseOutput::hold()
{
    if (!m_stream)
        return false;
    cork(true);
    return true;
}

void PulseOutput::resume()
{
    if (m_stream && m_corked)
        cork(false);
}

// Neither waits for the server: a failure shows as a lost stream.
void PulseOutput::cork(bool corked)
{
    const PulseLibrary& pa = *PulseLibrary::get();
    const LoopLock lock(m_loop.get());
    m_corked = corked;
    pa_operation* sent = pa.streamCork(m_stream.get(), corked ? 1 : 0, nullptr, nullptr);
    if (sent != nullptr)
        pa.operationUnref(sent);
}

bool PulseOutput::isLost() const
{
    return m_stream && m_lost.load();
}

const char* PulseOutput::lastError() const
{
    const PulseLibrary* pa = PulseLibrary::get();
    return pa != nullptr ? pa->strerror(m_error) : "no PulseAudio client library";
}

// Called with the loop's lock held. With the callbacks taken back first, render is never
// called once this returns.
void PulseOutput::dropStream()
{
    if (!m_stream)
        return;
    const PulseLibrary& pa = *PulseLibrary::get();
    pa.streamSetWriteCallback(m_stream.get(), nullptr, nullptr);
    pa.streamSetStateCallback(m_stream.get(), nullptr, nullptr);
    pa.streamDisconnect(m_stream.get());
    m_stream.reset();
    m_corked = false;
}

// Called with the loop's lock held.
void PulseOutput::dropContext()
{
    if (!m_context)
        return;
    const PulseLibrary& pa = *PulseLibrary::get();
    pa.contextSetStateCallback(m_context.get(), nullptr, nullptr);
    pa.contextDisconnect(m_context.get());
    m_context.reset();
}

// Runs on libpulse's thread, as do the two callbacks below.
void PulseOutput::contextChanged(pa_context* context, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    const PulseLibrary& pa = *PulseLibrary::get();
    if (!PA_CONTEXT_IS_GOOD(pa.contextState(context)))
        self->lose();
    pa.signal(self->m_loop.get(), 0);
}

void PulseOutput::streamChanged(pa_stream* stream, void* userdata)
{
    auto* self = static_cast<PulseOutput*>(userdata);
    const PulseLibrary& pa = *PulseLibrary::get();
    if (!PA_STREAM_IS_GOOD(pa.streamState(stream)))
        self->lose();
    pa.signal(self->m_loop.get(), 0);
}

// Renders straight into the server's own memory, in as few pieces as it hands out. While
// playback is held nothing is written: what the server holds is kept for the resume, and
// silence behind it would be heard then.
void PulseOutput::writeWanted(pa_stream* stream, std::size_t bytes, void* userdata)
{
    const auto* self = static_cast<const PulseOutput*>(userdata);
    const PulseLibrary& pa = *PulseLibrary::get();
    bytes -= bytes % FrameBytes;
    while (bytes > 0) {
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa.streamBeginWrite(stream, &data, &size) < 0 || data == nullptr)
            return;
        size = std::min(size, bytes);
        size -= size % FrameBytes;
        if (size == 0) {
            pa.streamCancelWrite(stream);
            return;
        }
        if (!self->m_render(self->m_userdata, static_cast<float*>(data), size / sizeof(float))) {
            pa.streamCancelWrite(stream);
            return;
        }
        if (pa.streamWrite(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= size;
    }
}

void PulseOutput::lose()
{
    m_lost.store(true);
    m_onLoss.raise();
}
