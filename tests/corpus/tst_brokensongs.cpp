// Broken and unusual songs, alone and in lists, and a thousand short songs, played from the
// playlist by the real player on SDL's disk driver with play pressed once. Leaks show at exit
// in the sanitizer build, whose leak checker runs then.
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/BrokenSongs.h"
#include "support/DiskAudio.h"
#include "support/WindowTest.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header for its allocator interface.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int Timeout = 60000;

// Bytes the program has allocated and not freed, on every thread.
qint64 heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
#endif
}

qint64 median(QList<qint64> readings)
{
    std::nth_element(readings.begin(), readings.begin() + readings.size() / 2, readings.end());
    return readings.at(readings.size() / 2);
}

// Puts the songs in the playlist and presses play once, as a user would.
MediaComponent& play(const QStringList& songs)
{
    Form<zerrenda>().lista->addItems(songs);
    Form<Mahaia>().Timi_Timer();
    Form<Mahaia>().Imahasi_MouseUp();
    return *Form<extrak>().Medi;
}

} // namespace

class tst_brokensongs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SongFactory m_songs;
    DiskAudio m_disk;
    QList<BrokenSongs::Entry> m_entries;
    QHash<QString, QString> m_paths; // of the entries, by name
    QString m_good;

    QString tone(double frequency, double seconds)
    {
        QString path = m_songs.song({44100, 2, seconds, false, true, frequency});
        if (path.isEmpty())
            qFatal("%s", qPrintable(m_songs.error()));
        return path;
    }

private slots:
    void initTestCase()
    {
        // glibc reports only the first arena's use; one arena for every thread counts them all.
        mallopt(M_ARENA_MAX, 1);
        BrokenSongs maker;
        m_entries = maker.make(m_dir.path());
        QVERIFY2(!m_entries.isEmpty(), qPrintable(maker.error()));
        m_good = tone(660.0, 0.3);
        // The good song again under a name in Latin-1, as copied from such a system; the
        // program keeps the byte that is not UTF-8 as U+DC00 + byte.
        const QByteArray latin1 = QFile::encodeName(m_dir.path()) + "/caf\xe9.mp3";
        QVERIFY(symlink(QFile::encodeName(m_good).constData(), latin1.constData()) == 0);
        m_entries << BrokenSongs::Entry{
            u"Latin-1 name"_s, m_dir.filePath(u"caf"_s + QChar(0xDCE9) + u".mp3"_s), 0.29, 0.31};
        for (const BrokenSongs::Entry& entry : std::as_const(m_entries))
            m_paths.insert(entry.name, entry.path);
        // As in the player outside a test: nothing handles the session's end but the default.
        std::signal(SIGTERM, SIG_DFL);
    }

    void init() { QFile::remove(m_disk.path()); }
    void cleanup()
    {
        WindowTest::reset();
        DiskAudio::setDelay(0);
    }

    // Fields: the list; the last entry's seconds heard, at least and at most; seconds of sound
    // in the device's last opening, within two milliseconds (-1 unchecked).
    void lists_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<double>("minSeconds");
        QTest::addColumn<double>("maxSeconds");
        QTest::addColumn<double>("heard");
        // Each entry alone: it, a good song, it again.
        for (const BrokenSongs::Entry& entry : std::as_const(m_entries))
            QTest::newRow(qPrintable(entry.name))
                << QStringList{entry.path, m_good, entry.path} << entry.minSeconds
                << entry.maxSeconds << (entry.maxSeconds == 0.0 ? 0.3 : -1.0);
        QStringList five;
        for (double frequency : {300, 400, 500, 600, 700})
            five << tone(frequency, 1.0);
        QTest::newRow("five good songs") << five << 0.99 << 1.01 << 1.0;
        QTest::newRow("good, broken, missing, Latin-1")
            << QStringList{m_good, m_paths[u"random bytes"_s], m_paths[u"missing"_s],
                           m_paths[u"Latin-1 name"_s]}
            << 0.29 << 0.31 << 0.3;
        QTest::newRow("nothing playable")
            << QStringList{m_paths[u"missing"_s], m_paths[u"folder named .mp3"_s],
                           m_paths[u"random bytes"_s]}
            << 0.0 << 0.0 << 0.0;
    }

    // Guards a failed open that hangs, is reported from within Open or leaves the player
    // Playing; the list stalling on, looping over or running past a broken entry; the length
    // of a damaged or rare song; the ending song's tail cut before an unplayable entry; and
    // the sound system taking over the signal that ends the program.
    void lists()
    {
        QFETCH(QStringList, list);
        QFETCH(double, minSeconds);
        QFETCH(double, maxSeconds);
        QFETCH(double, heard);
        // Before an unplayable entry, at twice real time, so that the ending song is still
        // queued when that entry is opened; with no delay the disk would have taken it all.
        DiskAudio::setDelay(maxSeconds == 0.0 ? 46 : 0);
        MediaComponent& player = play(list);
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QStringList counters;
        const QObject scope;
        connect(&player, &MediaComponent::SongEnded, &scope,
                [&] { counters << Form<Mahaia>().Lblabe->text(); });
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QStringList expected;
        for (qsizetype at = 2; at <= list.size() + 1; ++at)
            expected << u"%1/%2"_s.arg(std::min(at, list.size())).arg(list.size());
        QCOMPARE(counters, expected);
        QCOMPARE(player.CurrentFile(), list.last());
        const double last = player.Position();
        QVERIFY2(last >= minSeconds && last <= maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(last).arg(player.Duration())));
        struct sigaction term {};
        QVERIFY(sigaction(SIGTERM, nullptr, &term) == 0 && term.sa_handler == SIG_DFL);
        const auto missing = [&] { return qint64(heard * 44100) - m_disk.heard().frames; };
        if (heard >= 0.0)
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(missing()) <= 88,
                                      qPrintable(u"%1 frames short"_s.arg(missing())), 10000);
    }

    // Guards the end-of-song chain breaking on the way to 1000/1000, and memory kept per song:
    // twenty bytes a song are 16 KB over the 800 songs between the medians of songs 100-199
    // and 901-1000, read as each ends and the next opens.
    void thousandSongs()
    {
        const QList<SongFactory::Song> kinds{
            {44100, 2, 0.1}, {48000, 1, 0.2, true}, {22050, 2, 0.3, false, true, 500.0, 64}};
        QStringList list;
        for (int at = 0; at < 1000; ++at)
            list << m_songs.song(kinds.at(at % 3));
        QVERIFY2(!list.contains(QString()), qPrintable(m_songs.error()));
        // A plain count and reserved lists: a QSignalSpy would itself grow the heap.
        int ended = 0;
        QList<qint64> early;
        QList<qint64> late;
        early.reserve(100);
        late.reserve(100);
        // An event loop rather than QTRY's polling, which would add its sleeps to every song.
        QEventLoop loop;
        QTimer::singleShot(480000, &loop, &QEventLoop::quit);
        MediaComponent& player = play(list);
        // Connected after the playlist's own handler, so each reading follows its Open.
        connect(&player, &MediaComponent::SongEnded, &loop, [&] {
            if (++ended / 100 == 1)
                early.append(heapInUse());
            if (ended > 900)
                late.append(heapInUse());
            if (ended == 1000)
                loop.quit();
        });
        loop.exec();
        QCOMPARE(ended, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(Form<Mahaia>().Lblabe->text(), u"1000/1000"_s);
        const qint64 growth = median(late) - median(early);
        QVERIFY2(growth <= qint64{16} * 1024,
                 qPrintable(u"the heap grew by %1 bytes"_s.arg(growth)));
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"