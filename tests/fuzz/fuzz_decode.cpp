// Any bytes played as the feeder plays a song: no crash, hang or leak, only sound the device takes.
#include "FuzzCheck.h"
#include "playback/AudioOutput.h"
#include "playback/SongSource.h"

#include <cmath>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Result<std::unique_ptr<SongSource>> opened =
        SongSource::open(FuzzCheck::inFile(QStringLiteral("song.mp3"), data, size));
    if (!opened) {
        FuzzCheck::require(!opened.error().isEmpty(), "a song that cannot be opened says why");
        return 0;
    }
    const std::unique_ptr<SongSource> source = std::move(*opened);
    const double seconds = source->durationSeconds();
    FuzzCheck::require(std::isfinite(seconds) && seconds >= 0.0, "the length is a real length");
    // In the feeder's own chunks of 2048 frames.
    std::vector<float> out(2048 * AudioOutput::Channels);
    for (SongSource::Chunk chunk{}; !chunk.finished;) {
        chunk = source->pull(out.data(), 2048);
        FuzzCheck::require(chunk.frames <= 2048, "a chunk fits the buffer it was given");
        for (std::size_t at = 0; at < chunk.frames * AudioOutput::Channels; ++at)
            FuzzCheck::require(std::isfinite(out[at]), "every sample is a finite number");
        // The feeder would spin on a chunk that is neither sound nor the end.
        FuzzCheck::require(chunk.finished || chunk.frames > 0, "an unfinished song gives sound");
    }
    return 0;
}
