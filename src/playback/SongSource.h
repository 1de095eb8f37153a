#pragma once

#include "Mp3Decoder.h"

#include <SDL2/SDL_audio.h>
#include <cstdint>
#include <memory>
#include <vector>

// One song on its way to the device: decoded by Mp3Decoder, then converted to the device's
// channel count and, by SDL, to its rate where the song has another. Lives on the feeder thread.
class SongSource {
public:
    struct Chunk {
        std::size_t frames = 0;
        bool finished = false;
    };

    // Fails if the file cannot be played at all.
    static Result<std::unique_ptr<SongSource>> open(const QString& path);

    [[nodiscard]] double durationSeconds() const { return m_decoder.durationSeconds(); }
    [[nodiscard]] bool decodedAnything() const { return m_decodedFrames > 0; }
    [[nodiscard]] const QString& firstError() const { return m_decoder.firstError(); }

    // Fills out with up to maxFrames frames in the device's format.
    Chunk pull(float* out, std::size_t maxFrames);

private:
    struct StreamDeleter {
        void operator()(SDL_AudioStream* stream) const;
    };
    using Stream = std::unique_ptr<SDL_AudioStream, StreamDeleter>;

    SongSource(Mp3Decoder decoder, Stream stream);
    int take(float* out, std::size_t maxFrames);
    int takeHeld(float* out, std::int64_t wanted);
    void decodeMore();
    void flush();

    Mp3Decoder m_decoder;
    // Null when the song is at the device's rate.
    Stream m_stream;
    std::vector<float> m_decoded;
    std::int64_t m_decodedFrames = 0;
    // Device frames the song comes to once converted, known when decoding is done.
    std::int64_t m_expectedFrames = INT64_MAX;
    std::int64_t m_pulledFrames = 0;
    // Without a stream: the decoder's last chunk, held in m_decoded, and how much of it is taken.
    std::size_t m_heldFrames = 0;
    std::size_t m_heldAt = 0;
    bool m_flushed = false;
};
