// Broken and unusual songs, alone and in lists, played from the playlist by the real player on
// SDL's disk driver with play pressed once: nothing crashes or hangs, the list goes on by
// itself, every good song is heard whole, and playback stops after the last entry.
#include "playback/MediaComponent.h"
#include "playlist/PlaylistFile.h"
#include "support/BrokenSongs.h"
#include "support/DiskAudio.h"
#include "support/ListPlay.h"
#include "support/WindowTest.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;
using Entry = BrokenSongs::Entry;

Q_DECLARE_METATYPE(Entry)

namespace {

constexpr int Timeout = 60000;

QList<quintptr> terminationHandlers()
{
    QList<quintptr> handlers;
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction action {};
        sigaction(signal, nullptr, &action);
        handlers << reinterpret_cast<quintptr>(action.sa_handler);
    }
    return handlers;
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
        const QString path = m_songs.song({44100, 2, seconds, false, true, frequency});
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
        BrokenSongs maker;
        m_entries = maker.make(m_dir.path());
        QVERIFY2(!m_entries.isEmpty(), qPrintable(maker.error()));
        for (const Entry& entry : std::as_const(m_entries))
            m_paths.insert(entry.name, entry.path);
        m_good = tone(660.0, 0.3);
        // As in the player outside a test: nothing handles these signals but the default.
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
    }

    void init() { m_disk.forget(); }
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
    // an unplayable one; and the length of a damaged song.
    void alone()
    {
        QFETCH(Entry, entry);
        if (!entry.skip.isEmpty())
            QSKIP(qPrintable(entry.skip));
        const bool unplayable = entry.maxSeconds == 0.0;
        // At twice real time the good song's end is still queued when the entry after it is
        // opened; with no delay the disk would have taken it all by then.
        DiskAudio::setDelay(unplayable ? 46 : 0);
        MediaComponent& player = ListPlay::start({entry.path, m_good, entry.path});
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(ended.count(), 3);
        QCOMPARE(ListPlay::counter(), u"3/3"_s);
        const double heard = player.Position();
        QVERIFY2(heard >= entry.minSeconds && heard <= entry.maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(heard).arg(player.Duration())));
        if (unplayable)
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(framesShortOfGood()) <= 88,
                                      qPrintable(u"%1 frames short"_s.arg(framesShortOfGood())),
                                      10000);
    }

    void inLists_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("countersAtEnds");
        QTest::addColumn<double>("heard"); // seconds of sound at least, in the last output
        const QString missing = m_paths.value(u"missing"_s);
        const QString folder = m_paths.value(u"folder named .mp3"_s);
        const QString random = m_paths.value(u"random bytes"_s);
        // As a list made on another machine names a song in Latin-1.
        const QString latin1 = u"/m/caf"_s + QChar(u'\xDCE9') + u".mp3"_s;
        QStringList five;
        for (double frequency : {300, 400, 500, 600, 700})
            five << tone(frequency, 1.0);
        QTest::newRow("five good songs")
            << five << QStringList{u"2/5"_s, u"3/5"_s, u"4/5"_s, u"5/5"_s, u"5/5"_s} << 1.0;
        QTest::newRow("good, broken, broken, good")
            << QStringList{m_good, random, latin1, m_good}
            << QStringList{u"2/4"_s, u"3/4"_s, u"4/4"_s, u"4/4"_s} << 0.3;
        QTest::newRow("good, missing, folder")
            << QStringList{m_good, missing, folder} << QStringList{u"2/3"_s, u"3/3"_s, u"3/3"_s}
            << 0.3;
        QTest::newRow("nothing playable") << QStringList{missing, folder, random}
                                          << QStringList{u"2/3"_s, u"3/3"_s, u"3/3"_s} << 0.0;
    }

    // Guards the list stalling on or looping over a broken entry, running past its end, the
    // sound system taking over the signals that end the program, and an entry that is not
    // UTF-8 changed when the list is saved again.
    void inLists()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, countersAtEnds);
        QFETCH(double, heard);
        const QList<quintptr> handlers = terminationHandlers();
        MediaComponent& player = ListPlay::start(list);
        QStringList counters;
        const QObject scope;
        connect(&player, &MediaComponent::SongEnded, &scope,
                [&] { counters << ListPlay::counter(); });
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(counters, countersAtEnds);
        QCOMPARE(player.CurrentFile(), list.last());
        QCOMPARE(terminationHandlers(), handlers);
        const qint64 frames = m_disk.heard().frames;
        QVERIFY2(heard > 0.0 ? frames >= qint64((heard - 0.002) * 44100) : frames == 0,
                 qPrintable(u"%1 frames heard"_s.arg(frames)));
        const QString saved = m_dir.filePath(u"saved.m3u"_s);
        QCOMPARE(PlaylistFile::write(saved, list), QString());
        QCOMPARE(PlaylistFile::read(saved).items, list);
    }

    void vanishes_data()
    {
        QTest::addColumn<qint64>("keepPercent"); // -1: the file is deleted
        QTest::addColumn<double>("heardPercent");
        QTest::newRow("deleted: the open file plays on") << qint64(-1) << 100.0;
        QTest::newRow("cut to half") << qint64(50) << 50.0;
        QTest::newRow("emptied: what was decoded ahead") << qint64(0) << -1.0;
    }

    // A song's file deleted or cut short as it plays at twice real time, so the feeder, which
    // decodes two seconds ahead, is seconds away from the cut. Guards a hang or a crash: the
    // song ends where its file now ends, and the list goes on.
    void vanishes()
    {
        QFETCH(qint64, keepPercent);
        QFETCH(double, heardPercent);
        const QString victim = m_dir.filePath(u"victim.mp3"_s);
        QFile::remove(victim);
        QVERIFY(QFile::copy(tone(330.0, 20.0), victim));
        DiskAudio::setDelay(46);
        MediaComponent& player = ListPlay::start({victim, m_good});
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        // The furthest into the first song the player was seen, polled as the song plays.
        double reached = 0.0;
        const auto heardSoFar = [&] {
            reached = player.CurrentFile() == victim ? std::max(reached, player.Position()) : reached;
            return reached;
        };
        QTRY_VERIFY_WITH_TIMEOUT(heardSoFar() > 0.0 && reached < 2.0, Timeout);
        QFile file(victim);
        QVERIFY(keepPercent < 0 ? file.remove() : file.resize(file.size() * keepPercent / 100));
        QTRY_VERIFY_WITH_TIMEOUT((heardSoFar(), ended.size() == 2), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(ListPlay::counter(), u"2/2"_s);
        const double expected = 20.0 * heardPercent / 100.0;
        QVERIFY2(heardPercent > 0.0 ? reached > expected - 0.6 && reached <= expected + 0.1
                                    : reached > 1.0 && reached < 10.0,
                 qPrintable(QString::number(reached)));
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"
