// Broken and unusual songs, alone and in lists, and a thousand short songs, played from the
// playlist by the real player on SDL's disk driver with play pressed once. Leaks show at exit
// in the sanitizer build, whose leak checker runs then.
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/PlaylistFile.h"
#include "playlist/zerrenda.h"
#include "support/BrokenSongs.h"
#include "support/DiskAudio.h"
#include "support/WindowTest.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
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
using Entry = BrokenSongs::Entry;

Q_DECLARE_METATYPE(Entry)

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

QString counter()
{
    return Form<Mahaia>().Lblabe->text();
}

} // namespace

class tst_brokensongs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SongFactory m_songs;
    DiskAudio m_disk;
    QList<Entry> m_entries;
    QHash<QString, QString> m_paths; // of the entries, by name
    QString m_good;

    QString tone(double frequency, double seconds)
    {
        QString path = m_songs.song({44100, 2, seconds, false, true, frequency});
        if (path.isEmpty())
            qFatal("%s", qPrintable(m_songs.error()));
        return path;
    }
    [[nodiscard]] qint64 framesShortOfGood() const
    {
        return qint64(0.3 * 44100) - m_disk.heard().frames;
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
        m_entries << Entry{u"Latin-1 name"_s, m_dir.filePath(u"caf"_s + QChar(0xDCE9) + u".mp3"_s),
                           0.29, 0.31};
        for (const Entry& entry : std::as_const(m_entries))
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

    void alone_data()
    {
        QTest::addColumn<Entry>("entry");
        for (const Entry& entry : std::as_const(m_entries))
            QTest::newRow(qPrintable(entry.name)) << entry;
    }

    // The broken song, a good one, the broken one again. Guards a failed open that hangs, is
    // reported from within Open or leaves the player Playing; the good song's tail cut before
    // an unplayable one; and the length of a damaged or rare song.
    void alone()
    {
        QFETCH(Entry, entry);
        const bool unplayable = entry.maxSeconds == 0.0;
        // At twice real time the good song's end is still queued when the entry after it is
        // opened; with no delay the disk would have taken it all by then.
        DiskAudio::setDelay(unplayable ? 46 : 0);
        MediaComponent& player = play({entry.path, m_good, entry.path});
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(ended.count(), 3);
        QCOMPARE(counter(), u"3/3"_s);
        const double heard = player.Position();
        QVERIFY2(heard >= entry.minSeconds && heard <= entry.maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(heard).arg(player.Duration())));
        if (unplayable)
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(framesShortOfGood()) <= 88,
                                      qPrintable(u"%1 frames short"_s.arg(framesShortOfGood())),
                                      10000);
    }

    // Fields: the list, the counter as each song ends, seconds heard at least in the device's
    // last opening.
    void inLists_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("countersAtEnds");
        QTest::addColumn<double>("heard");
        QStringList five;
        for (double frequency : {300, 400, 500, 600, 700})
            five << tone(frequency, 1.0);
        const auto entries = [this](const QString& names) {
            QStringList paths;
            for (const QString& name : names.split(u','))
                paths << (name == u"good"_s ? m_good : m_paths.value(name));
            return paths;
        };
        QTest::newRow("five good songs") << five << u"2/5 3/5 4/5 5/5 5/5"_s.split(u' ') << 1.0;
        QTest::newRow("good, broken, missing, Latin-1")
            << entries(u"good,random bytes,missing,Latin-1 name"_s)
            << u"2/4 3/4 4/4 4/4"_s.split(u' ') << 0.3;
        QTest::newRow("nothing playable") << entries(u"missing,folder named .mp3,random bytes"_s)
                                          << u"2/3 3/3 3/3"_s.split(u' ') << 0.0;
    }

    // Guards the list stalling on or looping over a broken entry, running past its end, a
    // name that is not UTF-8 not played or changed when the list is saved again, and the
    // sound system taking over the signal that ends the program.
    void inLists()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, countersAtEnds);
        QFETCH(double, heard);
        MediaComponent& player = play(list);
        QStringList counters;
        const QObject scope;
        connect(&player, &MediaComponent::SongEnded, &scope, [&] { counters << counter(); });
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(counters, countersAtEnds);
        QCOMPARE(player.CurrentFile(), list.last());
        struct sigaction term {};
        QVERIFY(sigaction(SIGTERM, nullptr, &term) == 0 && term.sa_handler == SIG_DFL);
        const qint64 frames = m_disk.heard().frames;
        QVERIFY2(heard > 0.0 ? frames >= qint64((heard - 0.002) * 44100) : frames == 0,
                 qPrintable(u"%1 frames heard"_s.arg(frames)));
        const QString saved = m_dir.filePath(u"saved.m3u"_s);
        QCOMPARE(PlaylistFile::write(saved, list).error(), QString());
        QCOMPARE(PlaylistFile::read(saved).valueOr({}), list);
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
        QCOMPARE(counter(), u"1000/1000"_s);
        const qint64 growth = median(late) - median(early);
        QVERIFY2(growth <= qint64{16} * 1024,
                 qPrintable(u"the heap grew by %1 bytes"_s.arg(growth)));
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"