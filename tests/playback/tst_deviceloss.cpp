// The sound output goes away under a playing song and comes back: the real player closes the
// lost device, opens the default one again and goes on from where the song was, without the
// program being restarted and without PlayState ever leaving Playing.
#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/DiskAudio.h"
#include "support/SongFactory.h"
#include "support/SoundServer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Changes = QList<QPair<int, int>>;

namespace {

constexpr int Timeout = 30000;

// Every PlayStateChanged and SongEnded, and every Position read, which must never go back.
struct Watch : QObject {
    explicit Watch(MediaPlayer& watched) : player(watched)
    {
        connect(&player, &MediaComponent::PlayStateChanged, this,
                [this](int from, int to) { changes.append({from, to}); });
        connect(&player, &MediaComponent::SongEnded, this, [this] { ++ended; });
    }
    double position()
    {
        const double now = player.Position();
        backwards = backwards || now < last;
        return last = now;
    }
    // The song played to its end once, its position never going back.
    void playedWhole(const Song& song) const
    {
        QCOMPARE(changes, (Changes{{0, 2}, {2, 0}}));
        QCOMPARE(ended, 1);
        QVERIFY(!backwards);
        QVERIFY2(std::abs(player.Position() - SongFactory::seconds(song)) <= 0.002,
                 qPrintable(QString::number(player.Position())));
    }
    MediaPlayer& player;
    Changes changes;
    int ended = 0;
    double last = 0.0;
    bool backwards = false;
};

} // namespace

class tst_deviceloss : public QObject {
    Q_OBJECT

    SongFactory m_songs;

private slots:
    // SDL's disk driver reports its device removed when a write fails. With its file capped at
    // under three seconds of sound, the device is lost several times in an eight-second song,
    // and each reopening starts the file anew; a song started over would never end.
    void diskDeviceRemoved()
    {
        const Song song{44100, 2, 8.0, false};
        const QString path = m_songs.song(song);
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        const DiskAudio disk;
        // A write past the file size limit fails instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const qint64 sessionBytes =
            qint64(30) * AudioOutput::BufferFrames * AudioOutput::Channels * qint64(sizeof(float));
        rlimit normal{};
        getrlimit(RLIMIT_FSIZE, &normal);
        rlimit capped = normal;
        capped.rlim_cur = rlim_t(sessionBytes);
        MediaPlayer player;
        Watch watch(player);
        setrlimit(RLIMIT_FSIZE, &capped);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT((watch.position(), player.PlayState() == MediaComponent::Stopped),
                                 Timeout);
        setrlimit(RLIMIT_FSIZE, &normal);
        watch.playedWhole(song);
        // The last device was closed by the player at the song's end, not lost: one lost and
        // never replaced would have left the file full and the rest of the song unheard.
        QVERIFY2(QFileInfo(disk.path()).size() < sessionBytes,
                 qPrintable(QString::number(QFileInfo(disk.path()).size())));
    }

    // The sound server is killed under a playing song and started again a while later. While
    // it is gone the position stands still and the player retries the device at a modest
    // pace, not in a loop; once it is back the song goes on from where it stopped.
    void soundServerRestarted()
    {
        const Song song{44100, 2, 6.0, false};
        const QString path = m_songs.song(song);
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        SoundServer server;
        if (const QString why = server.start(); !why.isEmpty())
            QSKIP(qPrintable(u"PulseAudio cannot run here: "_s + why));
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        MediaPlayer player;
        Watch watch(player);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(watch.position() > 1.0, Timeout);
        QCOMPARE(server.streams(), std::optional<int>(1));

        server.kill();
        QElapsedTimer away;
        away.start();
        // Stands still over a wait: SDL may hand a last buffer over as it gives up.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const double before = watch.position();
                QTest::qWait(400);
                return watch.position() == before;
            }(),
            Timeout);
        const double held = watch.position();
        QTest::qWait(1500);
        QCOMPARE(watch.position(), held);
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        // Retries every quarter of a second at most, however loaded the machine: fewer, never more.
        const qint64 retriesAllowed = away.elapsed() / 250 + 2;
        QVERIFY2(server.knocks() >= 1 && server.knocks() <= retriesAllowed,
                 qPrintable(u"%1 attempts to open the device"_s.arg(server.knocks())));

        if (const QString why = server.start(); !why.isEmpty())
            QFAIL(qPrintable(u"the server did not start again: "_s + why));
        QTRY_VERIFY_WITH_TIMEOUT(watch.position() > held + 0.5, Timeout);
        QCOMPARE(server.streams(), std::optional<int>(1));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        watch.playedWhole(song);
    }
};

QTEST_GUILESS_MAIN(tst_deviceloss)
#include "tst_deviceloss.moc"
