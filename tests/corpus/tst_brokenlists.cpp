// Lists with broken entries, and songs broken while they play, played by the real player on
// SDL's disk driver with play pressed once: the list goes on by itself, every good song is
// heard whole, and playback stops after the last entry.
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

class tst_brokenlists : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SongFactory m_songs;
    DiskAudio m_disk;
    QHash<QString, QString> m_paths; // broken entries by name
    QString m_good;

    QString tone(double frequency, double seconds = 1.0)
    {
        const QString path = m_songs.song({44100, 2, seconds, false, true, frequency});
        if (path.isEmpty())
            qFatal("%s", qPrintable(m_songs.error()));
        return path;
    }

private slots:
    void initTestCase()
    {
        BrokenSongs maker;
        for (const BrokenSongs::Entry& entry : maker.make(m_dir.path()))
            m_paths.insert(entry.name, entry.path);
        QVERIFY2(!m_paths.isEmpty(), qPrintable(maker.error()));
        m_good = tone(660.0, 0.3);
        // As in the player outside a test: nothing handles these signals but the default.
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
    }

    void init() { m_disk.forget(); }
    void cleanup() { WindowTest::reset(); }

    void playsPastBrokenEntries_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("countersAtEnds");
        QTest::addColumn<double>("heard"); // seconds of sound at least, in the last output
        const QString missing = m_paths.value(u"missing"_s);
        const QString folder = m_paths.value(u"folder named .mp3"_s);
        const QString random = m_paths.value(u"random bytes"_s);
        QStringList five;
        for (double frequency : {300, 400, 500, 600, 700})
            five << tone(frequency);
        QTest::newRow("five good songs") << five
                                         << QStringList{u"2/5"_s, u"3/5"_s, u"4/5"_s, u"5/5"_s,
                                                        u"5/5"_s}
                                         << 1.0;
        QTest::newRow("good, broken, broken, good")
            << QStringList{m_good, random, missing, m_good}
            << QStringList{u"2/4"_s, u"3/4"_s, u"4/4"_s, u"4/4"_s} << 0.3;
        QTest::newRow("good, missing, folder") << QStringList{m_good, missing, folder}
                                               << QStringList{u"2/3"_s, u"3/3"_s, u"3/3"_s} << 0.3;
        QTest::newRow("nothing playable") << QStringList{missing, folder, random}
                                          << QStringList{u"2/3"_s, u"3/3"_s, u"3/3"_s} << 0.0;
    }

    // Guards the list stalling on or looping over a broken entry, running past its end, the
    // good song's tail cut before a broken one, and the sound system taking over the signals
    // that end the program.
    void playsPastBrokenEntries()
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
    }

    // Guards a list entry whose name is not UTF-8 lost or changed on the way back to the file:
    // a list made elsewhere, with a song of that name missing here, is played and saved again.
    void strayBytesSurvivePlaying()
    {
        const QByteArray bytes = QFile::encodeName(m_good) + "\r\n/m/caf\xE9 \xF1.mp3\r\n";
        const QString path = m_dir.filePath(u"elsewhere.m3u"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const PlaylistFile::ReadResult read = PlaylistFile::read(path);
        QCOMPARE(read.items.size(), 2);
        MediaComponent& player = ListPlay::start(read.items);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(ListPlay::counter(), u"2/2"_s);
        QCOMPARE(PlaylistFile::write(path, read.items), QString());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }

    void vanishesWhilePlaying_data()
    {
        QTest::addColumn<qint64>("keepPercent"); // -1: the file is deleted
        QTest::addColumn<double>("heardPercent");
        QTest::newRow("deleted: the open file plays on") << qint64(-1) << 100.0;
        QTest::newRow("cut to half") << qint64(50) << 50.0;
        QTest::newRow("emptied: what was decoded ahead") << qint64(0) << -1.0;
    }

    // A song's file deleted or cut short as it plays at twice real time, so the feeder, which
    // decodes two seconds ahead, is seconds away from the cut. Guards a hang or a crash there:
    // the song ends where its file now ends, and the list goes on.
    void vanishesWhilePlaying()
    {
        QFETCH(qint64, keepPercent);
        QFETCH(double, heardPercent);
        const double seconds = 20.0;
        const QString victim = m_dir.filePath(u"victim.mp3"_s);
        QFile::remove(victim);
        QVERIFY(QFile::copy(tone(330.0, seconds), victim));
        DiskAudio::setDelay(46);
        const auto restoreDelay = qScopeGuard([] { DiskAudio::setDelay(0); });
        MediaComponent& player = ListPlay::start({victim, m_good});
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        // The furthest into the first song the player was seen, polled as the song plays.
        double reached = 0.0;
        const auto heardSoFar = [&] {
            if (player.CurrentFile() == victim)
                reached = std::max(reached, player.Position());
            return reached;
        };
        QTRY_VERIFY_WITH_TIMEOUT(heardSoFar() > 0.0, Timeout);
        QVERIFY(reached < 2.0);
        QFile file(victim);
        QVERIFY(keepPercent < 0 ? file.remove() : file.resize(file.size() * keepPercent / 100));
        QTRY_VERIFY_WITH_TIMEOUT((heardSoFar(), ended.size() == 2), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(ListPlay::counter(), u"2/2"_s);
        const double expected = seconds * heardPercent / 100.0;
        QVERIFY2(heardPercent > 0.0 ? reached > expected - 0.6 && reached <= expected + 0.1
                                    : reached > 1.0 && reached < seconds / 2,
                 qPrintable(QString::number(reached)));
    }
};

QTEST_MAIN(tst_brokenlists)
#include "tst_brokenlists.moc"
