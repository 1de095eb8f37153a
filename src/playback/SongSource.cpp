#include "SongSource.h"

#include "AudioOutput.h"
#include "SdlLibrary.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr std::size_t DecodeFrames = 4096;
constexpr int DeviceFrameBytes = AudioOutput::Channels * static_cast<int>(sizeof(float));

} // namespace

SongSource::SongSource(Mp3Decoder decoder, Stream stream)
    : m_decoder(std::move(decoder)), m_stream(std::move(stream)),
      m_decoded(DecodeFrames * static_cast<std::size_t>(m_decoder.format().channels))
{
}

Result<std::unique_ptr<SongSource>> SongSource::open(const QString& path)
{
    Result<Mp3Decoder> decoder = Mp3Decoder::open(path);
    if (!decoder)
        return Failure{decoder.error()};
    const Mp3Decoder::Format format = decoder->format();
    // Most songs are at the device's rate and need no SDL at all, which then stays unloaded
    // when sound goes straight to the sound server.
    if (format.rate == AudioOutput::SampleRate)
        return std::unique_ptr<SongSource>(new SongSource(std::move(*decoder), Stream()));
    const SdlLibrary* sdl = SdlLibrary::get();
    if (sdl == nullptr)
        return Failure{QStringLiteral("no SDL library")};
    Stream stream(sdl->NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(format.channels),
                                      static_cast<int>(format.rate), AUDIO_F32SYS,
                                      AudioOutput::Channels, AudioOutput::SampleRate));
    if (!stream)
        return Failure{QString::fromUtf8(sdl->GetError())};
    return std::unique_ptr<SongSource>(new SongSource(std::move(*decoder), std::move(stream)));
}

SongSource::Chunk SongSource::pull(float* out, std::size_t maxFrames)
{
    for (;;) {
        const int got = take(out, maxFrames);
        if (got > 0)
            return {static_cast<std::size_t>(got), false};
        if (m_flushed)
            return {0, true};
        decodeMore();
    }
}

int SongSource::take(float* out, std::size_t maxFrames)
{
    const auto wanted = std::min<std::int64_t>(static_cast<std::int64_t>(maxFrames),
                                               m_expectedFrames - m_pulledFrames);
    if (wanted <= 0)
        return 0;
    if (!m_stream)
        return takeHeld(out, wanted);
    const int bytes = SdlLibrary::get()->AudioStreamGet(
        m_stream.get(), out, static_cast<int>(wanted) * DeviceFrameBytes);
    const int frames = std::max(bytes, 0) / DeviceFrameBytes;
    m_pulledFrames += frames;
    return frames;
}

// Copies what the decoder gave last, at the device's rate already, doubling a mono channel.
int SongSource::takeHeld(float* out, std::int64_t wanted)
{
    const auto frames =
        static_cast<std::size_t>(std::min<std::int64_t>(wanted, m_heldFrames - m_heldAt));
    const std::size_t channels = m_decoded.size() / DecodeFrames;
    const float* from = m_decoded.data() + m_heldAt * channels;
    if (channels == AudioOutput::Channels) {
        std::memcpy(out, from, frames * channels * sizeof(float));
    } else {
        for (std::size_t frame = 0; frame < frames; ++frame)
            std::fill_n(out + frame * AudioOutput::Channels, AudioOutput::Channels, from[frame]);
    }
    m_heldAt += frames;
    m_pulledFrames += static_cast<std::int64_t>(frames);
    return static_cast<int>(frames);
}

void SongSource::decodeMore()
{
    const Mp3Decoder::Chunk chunk = m_decoder.read(m_decoded.data(), DecodeFrames);
    m_decodedFrames += static_cast<std::int64_t>(chunk.frames);
    m_heldFrames = m_stream ? 0 : chunk.frames;
    m_heldAt = 0;
    if (m_stream && chunk.frames > 0) {
        const auto bytes = chunk.frames * m_decoded.size() / DecodeFrames * sizeof(float);
        SdlLibrary::get()->AudioStreamPut(m_stream.get(), m_decoded.data(),
                                          static_cast<int>(bytes));
    }
    if (chunk.finished)
        flush();
}

// SDL's resampler holds back the last few milliseconds it has been given, and its flush pads
// them with less than it needs. Silence behind the song pushes them out; the song is then cut
// to its exact converted length.
void SongSource::flush()
{
    const int rate = static_cast<int>(m_decoder.format().rate);
    m_expectedFrames = m_decodedFrames * AudioOutput::SampleRate / rate;
    m_flushed = true;
    if (!m_stream)
        return;
    if (rate != AudioOutput::SampleRate) {
        std::fill(m_decoded.begin(), m_decoded.end(), 0.0F);
        SdlLibrary::get()->AudioStreamPut(m_stream.get(), m_decoded.data(),
                                          static_cast<int>(m_decoded.size() * sizeof(float)));
    }
    SdlLibrary::get()->AudioStreamFlush(m_stream.get());
}

void SongSource::StreamDeleter::operator()(SDL_AudioStream* stream) const
{
    SdlLibrary::get()->FreeAudioStream(stream);
}
