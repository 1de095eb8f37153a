// The real player on SDL's disk driver, which records every frame it is given.
#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/DiskAudio.h"
#include "support/SongFactory.h"

#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <utility>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Changes = QList<QPair<int, int>>;

namespace {

constexpr int Timeout = 30000;
constexpr double Rate = AudioOutput::SampleRate;

// A measured value for a failure message.
QByteArray said(double value)
{
    return QByteArray::number(value);
}

// Every PlayStateChanged and SongEnded, whether all came on the window thread, and every
// Position read through it, which must never go back.
struct Log : QObject {
    explicit Log(MediaPlayer& watched) : player(watched)
    {
        connect(&player, &MediaComponent::PlayStateChanged, this, [this](int from, int to) {
            changes.append({from, to});
            onWindowThread = onWindowThread && QThread::currentThread() == thread();
        });
        connect(&player, &MediaComponent::SongEnded, this, [this] { ++ended; });
    }
    double position()
    {
        backwards = backwards || player.Position() < last;
        return last = player.Position();
    }
    // Played once to its last frame (within slack frames), the state going Playing and back to
    // Stopped only.
    [[nodiscard]] bool playedOnce(double seconds, int rate, qint64 slack = 0) const
    {
        const qint64 frames = std::llround(seconds * rate) * qint64(Rate) / rate;
        return changes == Changes{{0, 2}, {2, 0}} && ended == 1 && !backwards && onWindowThread &&
               std::abs(std::llround(player.Position() * Rate) - frames) <= slack;
    }
    MediaPlayer& player;
    Changes changes;
    int ended = 0;
    bool onWindowThread = true;
    double last = 0.0;
    bool backwards = false;
};

} // namespace

class tst_MediaPlayer : public QObject {
    Q_OBJECT

    SongFactory m_songs;
    DiskAudio m_disk;

    QString song(const Song& song)
    {
        QString path = m_songs.song(song);
        if (path.isEmpty())
            qFatal("%s", qPrintable(m_songs.error()));
        return path;
    }

private slots:
    // Guards the length, the last frames of a song (resampled or not), the encoder's delay and
    // padding left out, the gain and its curve, and the state changes coming in order on the
    // window thread.
    void playsWholeSongOnce_data()
    {
        QTest::addColumn<Song>("song");
        // Without the LAME tag the scan counts the encoder's delay and padding in the length.
        QTest::addColumn<double>("slack");
        QTest::addColumn<int>("volume");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("CBR 44.1 kHz stereo") << Song{44100, 2, 1.3, false} << 0.001 << 0 << 1.0;
        QTest::newRow("CBR 48 kHz mono, -20 dB") << Song{48000, 1, 0.9} << 0.001 << -2000 << 0.1;
        QTest::newRow("VBR 48 kHz stereo") << Song{48000, 2, 1.7, true} << 0.001 << 0 << 1.0;
        // The first frame's estimate is far off for VBR; only a scan finds this length.
        QTest::newRow("VBR, no tag")
            << Song{44100, 2, 3.0, true, false} << 2.0 * 1152 / 44100 << 0 << 1.0;
    }

    void playsWholeSongOnce()
    {
        QFETCH(Song, song);
        QFETCH(double, slack);
        QFETCH(int, volume);
        QFETCH(double, amplitude);
        MediaPlayer player;
        player.setVolume(volume);
        Log log(player);
        player.Open(this->song(song));
        QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
        const double extra = player.Duration() - SongFactory::seconds(song);
        QVERIFY2(extra >= -0.001 && extra <= slack, said(extra));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QVERIFY(log.playedOnce(player.Duration(), song.sampleRate));
        // The whole tone, once, on both channels; lame takes up to a tenth of a tone's energy.
        const DiskAudio::Heard out = m_disk.heard();
        const double expected =
            player.Duration() * Rate * std::pow(SongFactory::Amplitude * amplitude, 2) / 2;
        QVERIFY2(std::abs(out.left / expected - 1.0) < 0.15, said(out.left));
        QVERIFY2(std::abs(out.right / out.left - 1.0) < 0.01, said(out.right));
        QVERIFY2(std::abs(out.frames - player.Duration() * Rate) < 0.002 * Rate, said(out.frames));
    }

    // Guards the volume's limits, pause while stopped, a device left open while paused,
    // stopped sound still played, a replaced song's stale SongEnded, and closing taken for the
    // end of a song.
    void transport()
    {
        const Song next{48000, 2, 0.6, false};
        const QString path = song(Song{44100, 1, 180.0, true});
        MediaPlayer player;
        Log log(player);
        player.setVolume(MediaComponent::MinVolume - 1);
        QCOMPARE(player.Volume(), MediaComponent::MinVolume);
        player.setVolume(MediaComponent::MaxVolume + 1);
        QCOMPARE(player.Volume(), MediaComponent::MaxVolume);
        player.Pause();
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 1.0, Timeout);
        player.Pause();
        // A device left open while paused would write silence as fast as the disk allows.
        const auto stillAfter = [this](int ms) {
            const qint64 size = QFileInfo(m_disk.path()).size();
            QTest::qWait(ms);
            return QFileInfo(m_disk.path()).size() == size;
        };
        QTRY_VERIFY_WITH_TIMEOUT(stillAfter(200), Timeout);
        const double pausedAt = player.Position();
        QVERIFY(stillAfter(300));
        QCOMPARE(player.Position(), pausedAt);
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > pausedAt + 1.0, Timeout);
        player.Stop();
        QCOMPARE(player.Position(), 0.0);
        player.Play();
        QVERIFY(player.Position() < pausedAt);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.5, Timeout);
        player.Open(song(next));
        QVERIFY(player.Position() < 0.5);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        player.setCurrentFile(QString());
        QCOMPARE(player.Duration(), 0.0);
        QTest::qWait(100);
        QCOMPARE(log.ended, 1);
        QCOMPARE(log.changes, (Changes{{0, 2}, {2, 1}, {1, 2}, {2, 0}, {0, 2}, {2, 0}}));
    }

    // Guards the ending song's tail kept when the next is opened from SongEnded, as the list
    // does, played in real time: the device must not fall silent between the two.
    void nextSongOpenedAtSongEndFollowsWithoutGap()
    {
        const QString first = song(Song{44100, 2, 0.6, false, true, 440.0});
        const QString second = song(Song{48000, 1, 0.6, true, true, 660.0});
        DiskAudio::setDelay(AudioOutput::BufferFrames * 1000 / 44100);
        const auto restoreDelay = qScopeGuard([] { DiskAudio::setDelay(0); });
        MediaPlayer player;
        Log log(player);
        connect(&player, &MediaComponent::SongEnded, &player, [&] {
            if (player.CurrentFile() == first)
                player.Open(second);
        });
        player.Open(first);
        QTRY_COMPARE_WITH_TIMEOUT(log.ended, 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QCOMPARE(log.changes, (Changes{{0, 2}, {2, 0}}));
        // Both songs back to back in one output; a sine sits at zero for a frame at most.
        const DiskAudio::Heard out = m_disk.heard();
        QVERIFY2(out.frames >= qint64(1.19 * Rate), said(out.frames));
        QVERIFY2(out.longestInnerSilence <= 2, said(out.longestInnerSilence));
    }

    // SDL's disk driver reports its device removed when a write fails. With its file capped at
    // under three seconds of sound, the device is lost several times in an eight-second song,
    // and each reopening starts the file anew. Guards a lost device not replaced, and the song
    // started over, which would never end.
    void diskDeviceRemoved()
    {
        const Song song{44100, 2, 8.0, false};
        const QString path = this->song(song);
        // A write past the file size limit fails instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit normal{};
        getrlimit(RLIMIT_FSIZE, &normal);
        rlimit capped = normal;
        capped.rlim_cur = rlim_t(30) * AudioOutput::BufferFrames * AudioOutput::Channels * 4;
        MediaPlayer player;
        Log log(player);
        setrlimit(RLIMIT_FSIZE, &capped);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT((log.position(), player.PlayState() == MediaComponent::Stopped),
                                 Timeout);
        setrlimit(RLIMIT_FSIZE, &normal);
        // A device lost mid-buffer may take a few frames with it.
        QVERIFY(log.playedOnce(SongFactory::seconds(song), song.sampleRate, qint64(0.002 * Rate)));
        // The last device was closed at the song's end, not lost with the file full.
        QVERIFY(QFileInfo(m_disk.path()).size() < qint64(capped.rlim_cur));
    }
};

QTEST_GUILESS_MAIN(tst_MediaPlayer)
#include "tst_MediaPlayer.moc"
