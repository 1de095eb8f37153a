// Measures how long the window thread is held up while MediaPlayer opens a 10 MB song: the
// time the Open call itself takes, and the longest gap between ticks of a 1 ms timer on the
// window thread while the feeder reads and scans the file. Then the same for every song of the
// broken-song set the tests play (cut, corrupted, disguised, a pipe, a 10 MB tag ...), one
// second each. Target: at most 5 ms.
//
// Usage: bench_open_stall [rounds]   (SDL_AUDIODRIVER defaults to dummy)

#include "playback/MediaPlayer.h"
#include "support/BrokenSongs.h"
#include "support/SongFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

struct Round {
    double openMs = 0.0;
    double longestGapMs = 0.0;
    double durationKnownMs = -1.0;
};

// Runs on the window thread: opens the song from a timer tick and watches the ticks that follow.
Round measure(MediaPlayer& player, const QString& path)
{
    Round round;
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 openedAt = -1;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QEventLoop loop;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (openedAt >= 0)
            round.longestGapMs = std::max(round.longestGapMs, (now - lastTick) / 1e6);
        lastTick = now;
        if (openedAt < 0 && now > 50'000'000) {
            openedAt = clock.nsecsElapsed();
            if (!path.isEmpty())
                player.Open(path);
            lastTick = clock.nsecsElapsed();
            round.openMs = (lastTick - openedAt) / 1e6;
        }
        if (openedAt >= 0 && round.durationKnownMs < 0 && player.Duration() > 0.0)
            round.durationKnownMs = (now - openedAt) / 1e6;
        if (openedAt >= 0 && now - openedAt > 1'000'000'000)
            loop.quit();
    });
    ticker.start();
    loop.exec();
    player.Stop();
    return round;
}

struct Worst {
    double withOpen = 0.0;
    double idle = 0.0;
};

// One second after opening each broken song, and one without an Open before it for the
// machine's own share; returns the longest stalls.
std::optional<Worst> measureBrokenSongs(MediaPlayer& player)
{
    QTemporaryDir folder;
    BrokenSongs maker;
    const QList<BrokenSongs::Entry> entries = maker.make(folder.path());
    if (entries.isEmpty()) {
        std::fprintf(stderr, "cannot make the broken songs: %s\n", qPrintable(maker.error()));
        return std::nullopt;
    }
    Worst worst;
    for (const BrokenSongs::Entry& entry : entries) {
        const Round idle = measure(player, QString());
        const Round round = measure(player, entry.path);
        worst.withOpen = std::max({worst.withOpen, round.openMs, round.longestGapMs});
        worst.idle = std::max(worst.idle, idle.longestGapMs);
        std::printf("%-30s Open %.3f ms, longest gap %.3f ms (without Open %.3f ms)\n",
                    qPrintable(entry.name), round.openMs, round.longestGapMs, idle.longestGapMs);
    }
    return worst;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;

    // Eleven minutes at 128 kbit/s without the LAME tag: 10.5 MB that must be scanned whole.
    const QString path = SongFactory::song(SongFactory::Song{44100, 2, 655.0, false, false});
    std::printf("song: %s (%.1f MB)\n", qPrintable(path), QFileInfo(path).size() / 1e6);
    MediaPlayer player;
    // The same second without an Open shows what the machine's load alone does to the timer.
    double worst = 0.0;
    double worstIdle = 0.0;
    for (int i = 0; i < rounds; ++i) {
        const Round idle = measure(player, QString());
        const Round round = measure(player, path);
        worst = std::max({worst, round.openMs, round.longestGapMs});
        worstIdle = std::max(worstIdle, idle.longestGapMs);
        std::printf("round %2d: Open %.3f ms, longest gap %.3f ms (without Open %.3f ms), "
                    "Duration known after %.1f ms\n",
                    i + 1, round.openMs, round.longestGapMs, idle.longestGapMs,
                    round.durationKnownMs);
    }
    std::printf("worst over %d rounds: %.3f ms with Open, %.3f ms without (target <= 5 ms)\n",
                rounds, worst, worstIdle);
    const std::optional<Worst> broken = measureBrokenSongs(player);
    if (!broken)
        return 1;
    std::printf("worst over the broken songs: %.3f ms with Open, %.3f ms without (target <= 5 "
                "ms)\n",
                broken->withOpen, broken->idle);
    return std::max(worst, broken->withOpen) <= 5.0 ? 0 : 2;
}
