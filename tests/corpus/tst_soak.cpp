// A thousand short songs played from the playlist with the real player on SDL's disk driver,
// play pressed once. Guards the end-of-song chain breaking on the way to 1000/1000 and memory
// kept per song; other leaks show at exit in the sanitizer build, whose leak checker runs then.
#include "playback/MediaComponent.h"
#include "support/DiskAudio.h"
#include "support/ListPlay.h"
#include "support/SongFactory.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <malloc.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header for its allocator interface.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;

namespace {

constexpr int Songs = 1000;
constexpr int Window = 100;
// Twenty bytes kept a song are 16 KB over the 800 songs between the two medians compared; a
// median of a hundred readings stays within a few hundred bytes run to run.
constexpr qint64 Tolerance = 16 * 1024;

// Bytes the program has allocated and not freed, on every thread.
qint64 heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#endif
}

qint64 median(std::vector<qint64> readings)
{
    std::nth_element(readings.begin(), readings.begin() + readings.size() / 2, readings.end());
    return readings.at(readings.size() / 2);
}

} // namespace

class tst_soak : public QObject {
    Q_OBJECT

    DiskAudio m_disk;

private slots:
    void thousandSongsPlayThrough()
    {
        // glibc reports only the first arena's use; one arena for every thread counts them all.
        mallopt(M_ARENA_MAX, 1);
        SongFactory factory;
        QStringList distinct;
        for (const Song& song :
             {Song{44100, 2, 0.1, false, true, 300.0}, Song{48000, 1, 0.2, true, true, 400.0},
              Song{22050, 2, 0.3, false, true, 500.0, 64}}) {
            distinct << factory.song(song);
            QVERIFY2(!distinct.last().isEmpty(), qPrintable(factory.error()));
        }
        QStringList list;
        for (int at = 0; at < Songs; ++at)
            list << distinct.at(at % distinct.size());
        // A plain count: a QSignalSpy keeps every emission and would itself grow the heap.
        int ended = 0;
        // Read as each song ends and the next opens: songs 100-199 against songs 901-1000.
        std::vector<qint64> early;
        std::vector<qint64> late;
        early.reserve(Window);
        late.reserve(Window);
        // An event loop rather than QTRY's polling, which would add its sleeps to every song.
        QEventLoop loop;
        QTimer::singleShot(480000, &loop, &QEventLoop::quit);
        MediaComponent& player = ListPlay::start(list);
        // Connected after the playlist's own handler, so each reading follows its Open.
        connect(&player, &MediaComponent::SongEnded, this, [&] {
            ++ended;
            if (ended >= Window && ended < 2 * Window)
                early.push_back(heapInUse());
            if (ended > Songs - Window)
                late.push_back(heapInUse());
            if (ended == Songs)
                loop.quit();
        });
        loop.exec();
        QCOMPARE(ended, Songs);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), 60000);
        QCOMPARE(ListPlay::counter(), u"1000/1000"_s);
        const qint64 growth = median(late) - median(early);
        QVERIFY2(growth <= Tolerance, qPrintable(u"the heap grew by %1 bytes"_s.arg(growth)));
    }
};

QTEST_MAIN(tst_soak)
#include "tst_soak.moc"
