// A thousand short songs played from the playlist with the real player on SDL's disk driver,
// play pressed once: the end-of-song chain carries the counter to 1000/1000, playback then
// stops, and the heap does not grow once the first hundred songs have played. Leaks show at
// exit in the sanitizer build, whose leak checker runs then.
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/SongFactory.h"
#include "support/WindowTest.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstddef>
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
constexpr int WarmUp = 100;
constexpr int Window = 100;
constexpr int TimeoutMs = 480000;
// The heap is read as each song ends and the next is opened; songs 100-199 are compared with
// songs 901-1000 by their medians. A single reading can catch the output between buffers or
// being reopened under load (tens of kilobytes either way); the median of a hundred does not,
// and its run-to-run difference stays within a few hundred bytes. Anything kept per song shows
// far beyond the tolerance: twenty bytes a song are 16 KB over the 800 songs between.
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

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // glibc reports only the first arena's use; one arena for every thread counts them all.
        mallopt(M_ARENA_MAX, 1);
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath(u"heard.raw"_s)));
        qputenv("SDL_DISKAUDIODELAY", "0");
    }

    void cleanup() { WindowTest::reset(); }

    void thousandSongsPlayThrough()
    {
        SongFactory factory;
        QStringList distinct;
        for (const Song& song :
             {Song{44100, 2, 0.1, false, true, 300.0}, Song{48000, 1, 0.2, true, true, 400.0},
              Song{22050, 2, 0.3, false, true, 500.0, 64}}) {
            distinct << factory.song(song);
            QVERIFY2(!distinct.last().isEmpty(), qPrintable(factory.error()));
        }
        zerrenda& playlist = Form<zerrenda>();
        for (int at = 0; at < Songs; ++at)
            playlist.lista->addItem(distinct.at(at % distinct.size()));
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        // A plain count: a QSignalSpy keeps every emission and would itself grow the heap.
        int ended = 0;
        std::vector<qint64> early;
        std::vector<qint64> late;
        early.reserve(Window);
        late.reserve(Window);
        // An event loop rather than QTRY's polling, which would add its sleeps to every song.
        QEventLoop loop;
        QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
        // Connected after the playlist's own handler, so each reading follows its Open.
        connect(&player, &MediaComponent::SongEnded, this, [&] {
            ++ended;
            if (ended >= WarmUp && ended < WarmUp + Window)
                early.push_back(heapInUse());
            if (ended > Songs - Window)
                late.push_back(heapInUse());
            if (ended == Songs)
                loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        loop.exec();
        QCOMPARE(ended, Songs);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), 60000);
        QCOMPARE(bar.Lblabe->text(), u"1000/1000"_s);
        QCOMPARE(player.CurrentFile(), distinct.at((Songs - 1) % distinct.size()));
        const qint64 before = median(early);
        const qint64 after = median(late);
        qInfo("%d songs in %.1f s; median heap over songs %d-%d: %lld bytes, over songs %d-%d: "
              "%lld bytes",
              Songs, clock.elapsed() / 1000.0, WarmUp, WarmUp + Window - 1, before,
              Songs - Window + 1, Songs, after);
        QVERIFY2(after - before <= Tolerance,
                 qPrintable(u"the heap grew by %1 bytes"_s.arg(after - before)));
    }
};

QTEST_MAIN(tst_soak)
#include "tst_soak.moc"
