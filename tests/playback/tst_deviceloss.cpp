// The sound output goes away under a playing song and comes back: the real player closes the
// lost device, opens the default one again and goes on from where the song was, without the
// program being restarted and without PlayState ever leaving Playing.
#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/SongFactory.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <ctime>
#include <optional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Changes = QList<QPair<int, int>>;

namespace {

constexpr int Timeout = 30000;

// Every PlayStateChanged, and every Position read, which must never go backwards.
struct Watch : QObject {
    explicit Watch(MediaPlayer& watched) : player(watched)
    {
        connect(&player, &MediaComponent::PlayStateChanged, this, [this](int from, int to) {
            changes.append({from, to});
        });
    }
    double position()
    {
        const double now = player.Position();
        backwards = backwards || now < last;
        last = now;
        return now;
    }
    // Whether the position stood still for a while: the lost device no longer plays.
    bool standsStill()
    {
        const double before = position();
        QTest::qWait(400);
        return position() == before;
    }
    MediaPlayer& player;
    Changes changes;
    double last = 0.0;
    bool backwards = false;
};

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A PulseAudio server of the test's own with a null sink, on a socket of its own; no other
// server on the machine is touched, and the client never starts one by itself.
class SoundServer {
public:
    explicit SoundServer(const QTemporaryDir& dir)
        : m_socket(dir.filePath(u"native"_s)), m_home(dir.filePath(u"home"_s))
    {
        QFile config(dir.filePath(u"client.conf"_s));
        if (config.open(QIODevice::WriteOnly))
            config.write("autospawn = no\n");
        qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(config.fileName()));
        qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + m_socket));
    }
    ~SoundServer() { stop(); }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Empty when the server answers; otherwise why it cannot run here.
    QString start()
    {
        if (QStandardPaths::findExecutable(u"pulseaudio"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"pactl"_s).isEmpty())
            return u"pulseaudio and pactl are not installed (tools/setup installs them)"_s;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_home);
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home);
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home);
        m_server.setProcessEnvironment(environment);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(
            u"pulseaudio"_s,
            {u"-n"_s, u"--daemonize=no"_s, u"--use-pid-file=no"_s, u"--exit-idle-time=-1"_s,
             u"--log-level=error"_s, u"--load=module-null-sink sink_name=null"_s,
             u"--load=module-native-protocol-unix auth-anonymous=1 socket="_s + m_socket});
        if (!m_server.waitForStarted())
            return m_server.errorString();
        for (int attempt = 0; attempt < 100 && m_server.state() == QProcess::Running; ++attempt) {
            if (pactl({u"info"_s}).has_value())
                return {};
            QTest::qWait(100);
        }
        return u"the server did not answer"_s;
    }
    // Killed outright, as a crashing server goes.
    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.kill();
        m_server.waitForFinished();
    }
    // Streams playing into the server, or nothing if it does not answer.
    std::optional<int> streams() const
    {
        const std::optional<QByteArray> out = pactl({u"list"_s, u"short"_s, u"sink-inputs"_s});
        return out ? std::optional<int>(int(out->count('\n'))) : std::nullopt;
    }

private:
    static std::optional<QByteArray> pactl(const QStringList& arguments)
    {
        QProcess client;
        client.start(u"pactl"_s, arguments);
        if (!client.waitForFinished(5000) || client.exitStatus() != QProcess::NormalExit ||
            client.exitCode() != 0)
            return std::nullopt;
        return client.readAllStandardOutput();
    }

    QString m_socket;
    QString m_home;
    QProcess m_server;
};

} // namespace

class tst_deviceloss : public QObject {
    Q_OBJECT

    SongFactory m_songs;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // A write past the file size limit fails instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    // SDL's disk driver reports its device removed when a write fails. With the file it writes
    // capped at under three seconds of sound, the device is lost several times in an
    // eight-second song, and each reopening starts the file anew; a song started over would
    // never get to its end.
    void diskDeviceRemoved()
    {
        const Song song{44100, 2, 8.0, false};
        const QString path = m_songs.song(song);
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        const QString heard = m_dir.filePath(u"heard.raw"_s);
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(heard));
        qputenv("SDL_DISKAUDIODELAY", "0");
        const qint64 sessionBytes =
            qint64(30) * AudioOutput::BufferFrames * AudioOutput::Channels * qint64(sizeof(float));
        rlimit normal{};
        getrlimit(RLIMIT_FSIZE, &normal);
        rlimit capped = normal;
        capped.rlim_cur = rlim_t(sessionBytes);
        MediaPlayer player;
        Watch watch(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        setrlimit(RLIMIT_FSIZE, &capped);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT((watch.position(), player.PlayState() == MediaComponent::Stopped),
                                 Timeout);
        setrlimit(RLIMIT_FSIZE, &normal);
        QCOMPARE(watch.changes, (Changes{{0, 2}, {2, 0}}));
        QCOMPARE(ended.size(), 1);
        QVERIFY(!watch.backwards);
        QVERIFY2(std::abs(player.Position() - SongFactory::seconds(song)) <= 0.002,
                 qPrintable(QString::number(player.Position())));
        // The last device was closed by the player once the song was over, not lost: a lost
        // device that was never replaced would have left the file full, and SDL would have
        // thrown the rest of the song away unheard.
        const QVector<float> last = SongFactory::readHeard(heard);
        QVERIFY2(last.size() * qint64(sizeof(float)) < sessionBytes,
                 qPrintable(QString::number(last.size())));
    }

    // The sound server is killed under a playing song and started again a while later. While
    // it is gone the position stands still and the player waits for it without spinning; once
    // it is back the song goes on into it from where it stopped, and plays to its end.
    void soundServerRestarted()
    {
        const Song song{44100, 2, 6.0, false};
        const QString path = m_songs.song(song);
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        SoundServer server(runtime);
        if (const QString why = server.start(); !why.isEmpty())
            QSKIP(qPrintable(u"PulseAudio cannot run here: "_s + why));
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        MediaPlayer player;
        Watch watch(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(watch.position() > 1.0, Timeout);
        QCOMPARE(server.streams(), std::optional<int>(1));

        server.stop();
        QTRY_VERIFY_WITH_TIMEOUT(watch.standsStill(), Timeout);
        const double held = watch.position();
        const double cpuBefore = processCpuSeconds();
        QTest::qWait(1500);
        const double cpu = processCpuSeconds() - cpuBefore;
        QVERIFY2(cpu < 0.3, qPrintable(u"%1 s of CPU while waiting for the device"_s.arg(cpu)));
        // SDL may still hand a last buffer over as it gives up; a device kept playing would
        // have run on by the whole wait.
        QVERIFY2(watch.position() - held < 0.2, qPrintable(QString::number(watch.last - held)));
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));

        if (const QString why = server.start(); !why.isEmpty())
            QFAIL(qPrintable(u"the server did not start again: "_s + why));
        QTRY_VERIFY_WITH_TIMEOUT(watch.position() > held + 0.5, Timeout);
        QCOMPARE(server.streams(), std::optional<int>(1));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(watch.changes, (Changes{{0, 2}, {2, 0}}));
        QCOMPARE(ended.size(), 1);
        QVERIFY(!watch.backwards);
        QVERIFY2(std::abs(player.Position() - SongFactory::seconds(song)) <= 0.002,
                 qPrintable(QString::number(player.Position())));
    }
};

QTEST_GUILESS_MAIN(tst_deviceloss)
#include "tst_deviceloss.moc"
