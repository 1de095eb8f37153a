#include "Mp3Decoder.h"

#include "frame/PathBytes.h"

namespace {

// After this many consecutive decoder errors without a single good frame in between, the rest
// of the file is taken to be junk.
constexpr int MaxErrorsInARow = 16;

QString describe(mpg123_handle* handle, int code)
{
    if (handle != nullptr && code == MPG123_ERR)
        return QString::fromUtf8(mpg123_strerror(handle));
    return QString::fromUtf8(mpg123_plain_strerror(code));
}

} // namespace

void Mp3Decoder::HandleDeleter::operator()(mpg123_handle* handle) const
{
    mpg123_close(handle);
    mpg123_delete(handle);
}

Mp3Decoder::Mp3Decoder(Handle handle) : m_handle(std::move(handle)) {}

Result<Mp3Decoder> Mp3Decoder::open(const QString& path)
{
    int code = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &code));
    if (!handle)
        return Failure{describe(nullptr, code)};
    // Titles come from the file name, so tags are stepped over, not read: a large ID3v2 tag
    // (cover pictures run to megabytes) would otherwise be copied into memory at every open.
    mpg123_param(handle.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_SKIP_ID3V2,
                 0.0);
    // Every rate and channel count is accepted, always as floats; the device side converts.
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    // The path's own bytes: QFile::encodeName would turn a byte that is not UTF-8 into "?".
    if (mpg123_open(handle.get(), PathBytes::toBytes(path).constData()) != MPG123_OK)
        return Failure{describe(handle.get(), MPG123_ERR)};
    Mp3Decoder decoder(std::move(handle));
    if (Result<void> header = decoder.readHeader(); !header)
        return Failure{header.error()};
    return decoder;
}

Result<void> Mp3Decoder::readHeader()
{
    int encoding = 0;
    const int code =
        mpg123_getformat(m_handle.get(), &m_format.rate, &m_format.channels, &encoding);
    if (code != MPG123_OK || m_format.rate <= 0 || m_format.channels <= 0)
        return Failure{describe(m_handle.get(), code == MPG123_OK ? MPG123_BAD_RATE : code)};
    // Once a file has shown itself to be MPEG audio, damage in its middle is looked past
    // however long it runs, so what follows still plays; by default libmpg123 gives up after a
    // kilobyte and the rest of the song is lost. Set only now, since it would also widen the
    // search for a first frame in a file that holds none.
    mpg123_param(m_handle.get(), MPG123_RESYNC_LIMIT, -1, 0.0);
    long encoderDelay = -1;
    double unused = 0.0;
    mpg123_getstate(m_handle.get(), MPG123_ENC_DELAY, &encoderDelay, &unused);
    // Without the encoder's tag the length is a guess from the first frame, which is far off
    // for VBR; only a full scan gives it to the frame.
    if (encoderDelay < 0)
        mpg123_scan(m_handle.get());
    const off_t length = mpg123_length(m_handle.get());
    m_lengthFrames = length > 0 ? static_cast<std::int64_t>(length) : 0;
    return {};
}

double Mp3Decoder::durationSeconds() const
{
    return static_cast<double>(m_lengthFrames) / static_cast<double>(m_format.rate);
}

// A header that changes the rate or the channels midway is most often a false one, found while
// looking past damage; the sound in that format is dropped as an error until the song's own
// format comes back. A stream that really changes format is not something we play, so after as
// many errors in a row as any other junk its end is there.
Mp3Decoder::Chunk Mp3Decoder::read(float* out, std::size_t maxFrames)
{
    const std::size_t bytesPerFrame = sizeof(float) * static_cast<std::size_t>(m_format.channels);
    Chunk chunk;
    while (chunk.frames == 0 && !chunk.finished) {
        std::size_t done = 0;
        const int code = mpg123_read(m_handle.get(), out, maxFrames * bytesPerFrame, &done);
        // What a call returns was decoded in the format in force before it.
        chunk.frames = m_foreignFormat ? 0 : done / bytesPerFrame;
        if (m_foreignFormat && done > 0)
            noteError(MPG123_BAD_RATE);
        if (code == MPG123_DONE) {
            chunk.finished = true;
        } else if (code == MPG123_NEW_FORMAT) {
            m_foreignFormat = !formatUnchanged();
        } else if (code != MPG123_OK) {
            noteError(code);
        } else if (!m_foreignFormat) {
            m_errorsInARow = 0;
        }
        chunk.finished = chunk.finished || m_errorsInARow >= MaxErrorsInARow;
    }
    return chunk;
}

bool Mp3Decoder::formatUnchanged()
{
    Format now;
    int encoding = 0;
    mpg123_getformat(m_handle.get(), &now.rate, &now.channels, &encoding);
    return now.rate == m_format.rate && now.channels == m_format.channels;
}

void Mp3Decoder::noteError(int code)
{
    ++m_errorsInARow;
    if (m_firstError.isEmpty())
        m_firstError = describe(m_handle.get(), code);
}
