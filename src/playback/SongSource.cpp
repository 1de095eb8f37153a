#include "SongSource.h"

#include "AudioOutput.h"
#include "SdlLibrary.h"

#include <algorithm>
#include <climits>

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
    const SdlLibrary* sdl = SdlLibrary::get();
    if (sdl == nullptr)
        return Failure{QStringLiteral("no SDL library")};
    const Mp3Decoder::Format format = decoder->format();
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
    const int bytes = SdlLibrary::get()->AudioStreamGet(
        m_stream.get(), out, static_cast<int>(wanted) * DeviceFrameBytes);
    const int frames = std::max(bytes, 0) / DeviceFrameBytes;
    m_pulledFrames += frames;
    return frames;
}

void SongSource::decodeMore()
{
    const Mp3Decoder::Chunk chunk = m_decoder.read(m_decoded.data(), DecodeFrames);
    if (chunk.frames > 0) {
        const auto bytes = chunk.frames * m_decoded.size() / DecodeFrames * sizeof(float);
        SdlLibrary::get()->AudioStreamPut(m_stream.get(), m_decoded.data(),
                                          static_cast<int>(bytes));
        m_decodedFrames += static_cast<std::int64_t>(chunk.frames);
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
    if (rate != AudioOutput::SampleRate) {
        std::fill(m_decoded.begin(), m_decoded.end(), 0.0F);
        SdlLibrary::get()->AudioStreamPut(m_stream.get(), m_decoded.data(),
                                          static_cast<int>(m_decoded.size() * sizeof(float)));
    }
    SdlLibrary::get()->AudioStreamFlush(m_stream.get());
    m_flushed = true;
}

void SongSource::StreamDeleter::operator()(SDL_AudioStream* stream) const
{
    SdlLibrary::get()->FreeAudioStream(stream);
}
