// What the playback benchmarks need beside the program itself, which plays their songs from its
// command line (bench/playback.sh, bench/peers/peers.py):
//
//   bench_playback song <seconds> <kbps> <hz>   makes a stereo tone song, prints its path
//   bench_playback gaps <heard.raw> <songs>     the silence between the songs in what SDL's
//                                               disk driver wrote while they played in a row
#include "support/SongFactory.h"

#include <QString>
#include <QVector>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int DeviceRate = 44100;

// Silent stretches (left channel) between the first and the last sound, longer than a tone's
// own passage through zero.
void printGaps(const QVector<float>& samples, int songs)
{
    const qsizetype frames = samples.size() / 2;
    auto silent = [&](qsizetype frame) { return std::fabs(samples.at(2 * frame)) < 1e-4F; };
    qsizetype first = 0;
    qsizetype last = frames;
    while (first < frames && silent(first))
        ++first;
    while (last > first && silent(last - 1))
        --last;
    int gaps = 0;
    double longestMs = 0;
    double totalMs = 0;
    for (qsizetype frame = first; frame < last;) {
        qsizetype run = 0;
        while (frame + run < last && silent(frame + run))
            ++run;
        if (run > 8) {
            ++gaps;
            const double ms = 1000.0 * double(run) / DeviceRate;
            longestMs = std::max(longestMs, ms);
            totalMs += ms;
        }
        frame += std::max<qsizetype>(run, 1);
    }
    std::printf("%d songs, %.2f s of sound heard; %d silent gaps, longest %.1f ms, "
                "%.2f ms per change of song\n",
                songs, double(last - first) / DeviceRate, gaps, longestMs,
                songs > 1 ? totalMs / (songs - 1) : 0.0);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 5 && std::strcmp(argv[1], "song") == 0) {
        std::printf("%s\n",
                    qPrintable(SongFactory::song({DeviceRate, 2, std::atof(argv[2]), false, true,
                                                  std::atof(argv[4]), std::atoi(argv[3])})));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "gaps") == 0) {
        printGaps(SongFactory::readHeard(QString::fromLocal8Bit(argv[2])), std::atoi(argv[3]));
        return 0;
    }
    std::fprintf(stderr, "usage: %s song <seconds> <kbps> <hz> | gaps <heard.raw> <songs>\n",
                 argv[0]);
    return 2;
}
