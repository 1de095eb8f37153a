// Any bytes, put in a file and played the way the feeder plays a song: opened, decoded to the
// end and converted to the device's format. Nothing may crash, hang or leak, and what reaches
// the device must be sound the device can take.
#include "FuzzCheck.h"
#include "playback/AudioOutput.h"
#include "playback/SongSource.h"

#include <cmath>
#include <vector>

namespace {

// The feeder's own chunk size and the device's channel count.
constexpr std::size_t ChunkFrames = 2048;
constexpr std::size_t Channels = AudioOutput::Channels;

void playToTheEnd(SongSource& source)
{
    std::vector<float> out(ChunkFrames * Channels);
    for (;;) {
        const SongSource::Chunk chunk = source.pull(out.data(), ChunkFrames);
        FuzzCheck::require(chunk.frames <= ChunkFrames, "a chunk fits the buffer it was given");
        const auto end = out.begin() + static_cast<std::ptrdiff_t>(chunk.frames * Channels);
        for (auto sample = out.begin(); sample != end; ++sample)
            FuzzCheck::require(std::isfinite(*sample), "every sample is a finite number");
        if (chunk.finished)
            return;
        // The feeder would spin on a chunk that is neither sound nor the end.
        FuzzCheck::require(chunk.frames > 0, "an unfinished song gives sound");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = FuzzCheck::workDir().filePath(QStringLiteral("song.mp3"));
    FuzzCheck::writeFile(path, data, size);

    QString error;
    const std::unique_ptr<SongSource> source = SongSource::open(path, error);
    if (!source) {
        FuzzCheck::require(!error.isEmpty(), "a song that cannot be opened says why");
        return 0;
    }
    const double seconds = source->durationSeconds();
    FuzzCheck::require(std::isfinite(seconds) && seconds >= 0.0, "the length is a real length");
    playToTheEnd(*source);
    return 0;
}
