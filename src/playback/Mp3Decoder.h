#pragma once

#include "frame/Result.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <mpg123.h>

// One MP3 file opened with libmpg123, decoding to interleaved 32-bit floats with gapless
// trimming, so the length it reports is the song's true length. Used by one thread at a time.
class Mp3Decoder {
public:
    struct Format {
        long rate = 0;
        int channels = 0;
    };
    struct Chunk {
        std::size_t frames = 0;
        bool finished = false;
    };

    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;
    Mp3Decoder(Mp3Decoder&&) = default;
    Mp3Decoder& operator=(Mp3Decoder&&) = default;
    ~Mp3Decoder() = default;

    // Opens the file and reads up to its first frame and its length (from the LAME/Xing tag,
    // else by scanning the whole file). Fails if the file holds no playable MPEG audio.
    static Result<Mp3Decoder> open(const QString& path);

    [[nodiscard]] Format format() const { return m_format; }
    [[nodiscard]] double durationSeconds() const;

    // Decodes up to maxFrames frames into out (room for maxFrames * channels floats). Junk and
    // broken frames are skipped; the first error is kept in firstError. A file that breaks off
    // ends like any other.
    Chunk read(float* out, std::size_t maxFrames);
    [[nodiscard]] const QString& firstError() const { return m_firstError; }

private:
    struct HandleDeleter {
        void operator()(mpg123_handle* handle) const;
    };
    using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

    explicit Mp3Decoder(Handle handle);
    Result<void> readHeader();
    bool formatUnchanged();
    void noteError(int code);

    Handle m_handle;
    Format m_format;
    std::int64_t m_lengthFrames = 0;
    QString m_firstError;
    int m_errorsInARow = 0;
    bool m_foreignFormat = false; // the decoder is in another rate or channel count than ours
};
