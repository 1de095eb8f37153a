// The real player on SDL's disk driver, which records every frame it is given, and through a
// sound server of the test's own.
#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/DiskAudio.h"
#include "support/SongFactory.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Changes = QList<QPair<int, int>>;

namespace {

constexpr int Timeout = 30000;
constexpr int SoonMs = 1000;
constexpr double Rate = AudioOutput::SampleRate;

QByteArray said(double value)
{
    return QByteArray::number(value);
}

// A player with every PlayStateChanged and SongEnded it raises, and whether all came on the
// window thread.
struct Watched : QObject {
    Watched()
    {
        connect(&player, &MediaComponent::PlayStateChanged, this, [this](int from, int to) {
            changes.append({from, to});
            onWindowThread = onWindowThread && QThread::currentThread() == thread();
        });
        connect(&player, &MediaComponent::SongEnded, this, [this] { ++ended; });
    }
    void waitForStop()
    {
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
    }
    MediaPlayer player;
    Changes changes;
    int ended = 0;
    bool onWindowThread = true;
};

// PulseAudio with a null sink, reached as a session's server is, and a recording of what the
// sink plays, started with the server.
class SoundServer {
public:
    SoundServer()
    {
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(m_dir.filePath(u"native"_s)));
        qputenv("PULSE_COOKIE", QFile::encodeName(m_dir.filePath(u"cookie"_s)));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, m_dir.path());
        env.insert(u"XDG_RUNTIME_DIR"_s, m_dir.path());
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        m_server.setProcessEnvironment(env);
        m_recorder.setStandardOutputFile(recording());
    }
    ~SoundServer()
    {
        stop();
        qunsetenv("PULSE_SERVER");
    }
    // The recorder has a socket of its own and is recording before the player can reach the
    // server, so that nothing the player is heard to play is missing from the recording.
    bool start()
    {
        const QString recorderSocket = m_dir.filePath(u"recorder"_s);
        m_server.start(
            u"pulseaudio"_s,
            {u"-n"_s, u"--daemonize=no"_s, u"--exit-idle-time=-1"_s, u"--use-pid-file=no"_s,
             u"-Lmodule-null-sink sink_name=kuxa"_s,
             u"-Lmodule-native-protocol-unix auth-anonymous=1 socket="_s + recorderSocket});
        if (!QTest::qWaitFor([&] { return QFileInfo::exists(recorderSocket); }, Timeout))
            return false;
        m_recorder.start(u"parec"_s, {u"-sunix:"_s + recorderSocket, u"-dkuxa.monitor"_s,
                                      u"--raw"_s, u"--format=float32le"_s, u"--channels=2"_s,
                                      u"--rate=44100"_s, u"--latency-msec=10"_s});
        if (!QTest::qWaitFor([this] { return QFileInfo(recording()).size() > 0; }, Timeout))
            return false;
        return QProcess::execute(u"pactl"_s,
                                 {u"-sunix:"_s + recorderSocket, u"load-module"_s,
                                  u"module-native-protocol-unix"_s, u"auth-anonymous=1"_s,
                                  u"socket="_s + m_dir.filePath(u"native"_s)}) == 0;
    }
    void stop()
    {
        for (QProcess* process : {&m_recorder, &m_server}) {
            process->kill();
            process->waitForFinished();
        }
        for (const QString& socket : {u"native"_s, u"recorder"_s})
            QFile::remove(m_dir.filePath(socket));
    }
    [[nodiscard]] QString recording() const { return m_dir.filePath(u"heard.raw"_s); }
    [[nodiscard]] static QByteArray streams()
    {
        QProcess pactl;
        pactl.start(u"pactl"_s, {u"list"_s, u"sink-inputs"_s});
        pactl.waitForFinished();
        return pactl.readAllStandardOutput();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
};

} // namespace

class tst_MediaPlayer : public QObject {
    Q_OBJECT

    DiskAudio m_disk;

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
        QTest::newRow("CBR 44.1 kHz mono") << Song{44100, 1, 0.7} << 0.001 << 0 << 1.0;
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
        Watched watched;
        MediaPlayer& player = watched.player;
        player.setVolume(volume);
        player.Open(SongFactory::song(song));
        QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
        const double extra = player.Duration() - SongFactory::seconds(song);
        QVERIFY2(extra >= -0.001 && extra <= slack, said(extra));
        watched.waitForStop();
        QCOMPARE(watched.changes, (Changes{{0, 2}, {2, 0}}));
        QVERIFY(watched.ended == 1 && watched.onWindowThread);
        // Stopped at its last frame, counted at the song's own rate.
        const qint64 frames =
            std::llround(player.Duration() * song.sampleRate) * qint64(Rate) / song.sampleRate;
        QCOMPARE(std::llround(player.Position() * Rate), frames);
        // The whole tone, once, on both channels; lame takes up to a tenth of a tone's energy.
        const DiskAudio::Heard out = m_disk.heard();
        const double expected =
            player.Duration() * Rate * std::pow(SongFactory::Amplitude * amplitude, 2) / 2;
        QVERIFY2(std::abs(out.left / expected - 1.0) < 0.15, said(out.left));
        QVERIFY2(std::abs(out.right / out.left - 1.0) < 0.01, said(out.right));
        QVERIFY2(std::abs(out.frames - player.Duration() * Rate) < 0.002 * Rate, said(out.frames));
    }

    // Guards the volume's limits, pause while stopped, pause and resume, play after stop starting
    // over, a replaced song's stale SongEnded, and closing taken for the end of a song.
    void transport()
    {
        Watched watched;
        MediaPlayer& player = watched.player;
        player.setVolume(MediaComponent::MinVolume - 1);
        QCOMPARE(player.Volume(), MediaComponent::MinVolume);
        player.setVolume(MediaComponent::MaxVolume + 1);
        QCOMPARE(player.Volume(), MediaComponent::MaxVolume);
        player.Pause();
        player.Open(SongFactory::song(Song{44100, 1, 180.0, true}));
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 1.0, Timeout);
        player.Pause();
        const double pausedAt = player.Position();
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > pausedAt + 0.5, Timeout);
        player.Stop();
        QCOMPARE(player.Position(), 0.0);
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.5, Timeout);
        player.Open(SongFactory::song(Song{48000, 2, 0.6, false}));
        QVERIFY(player.Position() < 0.5);
        watched.waitForStop();
        player.setCurrentFile(QString());
        QCOMPARE(player.Duration(), 0.0);
        QCoreApplication::processEvents();
        QCOMPARE(watched.ended, 1);
        QCOMPARE(watched.changes, (Changes{{0, 2}, {2, 1}, {1, 2}, {2, 0}, {0, 2}, {2, 0}}));
    }

    // Guards the ending song's tail kept when the next is opened from SongEnded, as the list
    // does, played in real time: the device must not fall silent between the two.
    void nextSongOpenedAtSongEndFollowsWithoutGap()
    {
        const QString first = SongFactory::song(Song{44100, 2, 0.6, false, true, 440.0});
        const QString second = SongFactory::song(Song{48000, 1, 0.6, true, true, 660.0});
        DiskAudio::setDelay(AudioOutput::BufferFrames * 1000 / 44100);
        const auto restoreDelay = qScopeGuard([] { DiskAudio::setDelay(0); });
        Watched watched;
        MediaPlayer& player = watched.player;
        connect(&player, &MediaComponent::SongEnded, &player, [&] {
            if (player.CurrentFile() == first)
                player.Open(second);
        });
        player.Open(first);
        QTRY_COMPARE_WITH_TIMEOUT(watched.ended, 2, Timeout);
        watched.waitForStop();
        QCOMPARE(watched.changes, (Changes{{0, 2}, {2, 0}}));
        // Both songs back to back in one output; a sine sits at zero for a frame at most.
        const DiskAudio::Heard out = m_disk.heard();
        QVERIFY2(out.frames >= qint64(1.19 * Rate), said(out.frames));
        QVERIFY2(out.longestInnerSilence <= 2, said(out.longestInnerSilence));
    }

    // SDL's disk driver reports its device removed when a write fails; with its file capped at
    // under three seconds of sound, an eight-second song loses it several times. Guards a lost
    // device not replaced, and the song started over, which would never end.
    void diskDeviceRemoved()
    {
        const Song song{44100, 2, 8.0, false};
        const QString path = SongFactory::song(song);
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending us
        rlimit normal{};
        getrlimit(RLIMIT_FSIZE, &normal);
        rlimit capped = normal;
        capped.rlim_cur = rlim_t(30) * AudioOutput::BufferFrames * AudioOutput::Channels * 4;
        Watched watched;
        setrlimit(RLIMIT_FSIZE, &capped);
        watched.player.Open(path);
        watched.waitForStop();
        setrlimit(RLIMIT_FSIZE, &normal);
        QCOMPARE(watched.changes, (Changes{{0, 2}, {2, 0}}));
        const double short_ = SongFactory::seconds(song) - watched.player.Position();
        QVERIFY2(watched.ended == 1 && std::abs(short_) < 0.05, said(short_));
        // The last device was closed at the song's end, not lost with the file full.
        QVERIFY(QFileInfo(m_disk.path()).size() < qint64(capped.rlim_cur));
    }

    // Without SDL_AUDIODRIVER the player goes straight to the sound server: SDL when none
    // answers, and then the test's own. Guards that way taken and heard at the volume set, a
    // server killed under a song and started again (the song goes on from where it was and
    // ends), a pause the server holds, losing nothing and repeating nothing, and the position
    // counted as heard rather than as given to the server.
    void soundServer()
    {
        const auto restore = qScopeGuard([] { qputenv("SDL_AUDIODRIVER", "disk"); });
        qunsetenv("SDL_AUDIODRIVER");
        SoundServer server;
        Watched silent;
        silent.player.Open(SongFactory::song(Song{44100, 2, 0.3, false}));
        silent.waitForStop();
        QCOMPARE(silent.ended, 1);
        if (!server.start())
            QSKIP("no PulseAudio server could be started (apt-get install pulseaudio)");
        const Song song{44100, 2, 6.0, false};
        Watched watched;
        MediaPlayer& player = watched.player;
        player.setVolume(-2000);
        player.Open(SongFactory::song(song));
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 1.0, Timeout);
        QVERIFY(SoundServer::streams().contains("application.name = \"IxoMp3\""));
        // The position is what was heard, not what the server was given, after a pause too;
        // the recorder may be late on a loaded machine, so it is given a moment to catch up,
        // well before the song's end would make the two agree anyway.
        const auto ahead = [&](double from) {
            return player.Position() - from - DiskAudio::heardIn(server.recording()).frames / Rate;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(std::abs(ahead(0.0)) < 0.1, said(ahead(0.0)), SoonMs);
        server.stop();
        // Once what the lost server held would have played out, the position stands at what it
        // had been given, which is where the song goes on from.
        double lostAt = -1.0;
        const auto standing = [&] {
            lostAt = player.Position();
            QThread::msleep(20);
            return player.Position() == lostAt;
        };
        QTRY_VERIFY_WITH_TIMEOUT(standing(), Timeout);
        QVERIFY(server.start());
        QTRY_VERIFY_WITH_TIMEOUT(SoundServer::streams().contains("IxoMp3"), Timeout);
        player.Pause();
        QTRY_VERIFY_WITH_TIMEOUT(SoundServer::streams().contains("Corked: yes"), Timeout);
        // Held for longer than the server's queue, nothing of it heard meanwhile, and the
        // position standing still.
        const double pausedAt = player.Position();
        const qint64 heardAtPause = DiskAudio::heardIn(server.recording()).frames;
        const qint64 recordedAtPause = QFileInfo(server.recording()).size();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(server.recording()).size() >
                                     recordedAtPause + qint64(0.7 * Rate) * 8,
                                 Timeout);
        QCOMPARE(DiskAudio::heardIn(server.recording()).frames, heardAtPause);
        QCOMPARE(player.Position(), pausedAt);
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > lostAt + 1.0, Timeout);
        QTRY_VERIFY2_WITH_TIMEOUT(std::abs(ahead(lostAt)) < 0.1, said(ahead(lostAt)), SoonMs);
        watched.waitForStop();
        QCOMPARE(watched.changes, (Changes{{0, 2}, {2, 1}, {1, 2}, {2, 0}}));
        const double short_ = SongFactory::seconds(song) - player.Position();
        QVERIFY2(watched.ended == 1 && std::abs(short_) < 0.05, said(short_));
        // The rest after the loss once, less what the lost server held and what the new one
        // has not played yet when the song is over.
        const DiskAudio::Heard out = DiskAudio::heardIn(server.recording());
        const double rest = SongFactory::seconds(song) - lostAt;
        QVERIFY2(out.frames > (rest - 0.15) * Rate && out.frames < (rest + 0.02) * Rate,
                 said(out.frames / Rate));
        // -20 dB, applied once.
        const double level = out.left / (out.frames * std::pow(SongFactory::Amplitude, 2) / 2);
        QVERIFY2(level > 0.007 && level < 0.013, said(level));
    }
};

QTEST_GUILESS_MAIN(tst_MediaPlayer)
#include "tst_MediaPlayer.moc"
