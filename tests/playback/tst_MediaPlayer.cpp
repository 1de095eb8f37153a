#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/SongFactory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <array>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Changes = QList<QPair<int, int>>;

namespace {

constexpr int Timeout = 30000;
constexpr double DeviceRate = AudioOutput::SampleRate;

// Every PlayStateChanged, and whether all of them arrived on the window thread.
struct StateLog : QObject {
    explicit StateLog(MediaPlayer& player)
    {
        connect(&player, &MediaComponent::PlayStateChanged, this, [this](int from, int to) {
            changes.append({from, to});
            onWindowThread = onWindowThread && QThread::currentThread() == thread();
        });
    }
    Changes changes;
    bool onWindowThread = true;
};

struct Heard {
    double left = 0.0;
    double right = 0.0;
    qint64 frames = 0; // frames with any sound
    qint64 longestInnerSilence = 0;
};

} // namespace

class tst_MediaPlayer : public QObject {
    Q_OBJECT

    SongFactory m_songs;
    QTemporaryDir m_dir;
    const QString m_outputFile = m_dir.filePath(u"heard.raw"_s);

    // The device takes interleaved stereo floats, which the disk driver writes unchanged.
    [[nodiscard]] Heard heard() const
    {
        QFile file(m_outputFile);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        Heard result;
        qint64 silence = 0;
        for (qsizetype at = 0; at + 8 <= bytes.size(); at += 8) {
            std::array<float, 2> frame{};
            std::memcpy(frame.data(), bytes.constData() + at, sizeof(frame));
            result.left += double(frame[0]) * frame[0];
            result.right += double(frame[1]) * frame[1];
            const bool quiet = frame[0] == 0.0F && frame[1] == 0.0F;
            if (!quiet && result.frames++ > 0)
                result.longestInnerSilence = std::max(result.longestInnerSilence, silence);
            silence = quiet ? silence + 1 : 0;
        }
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The disk driver writes exactly what a listener would hear, as fast as the disk allows.
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_outputFile));
        qputenv("SDL_DISKAUDIODELAY", "0");
    }

    void playsWholeSongOnce_data()
    {
        QTest::addColumn<Song>("song");
        // Without the LAME tag the scan counts the encoder's delay and padding in the length.
        QTest::addColumn<double>("slack");
        QTest::newRow("CBR 44.1 kHz stereo") << Song{44100, 2, 1.3, false} << 0.001;
        QTest::newRow("CBR 48 kHz mono") << Song{48000, 1, 0.9, false} << 0.001;
        QTest::newRow("VBR 44.1 kHz mono") << Song{44100, 1, 1.1, true} << 0.001;
        QTest::newRow("VBR 48 kHz stereo") << Song{48000, 2, 1.7, true} << 0.001;
        // The first frame's estimate is far off for VBR; only a scan finds this length.
        QTest::newRow("VBR, no tag") << Song{44100, 2, 3.0, true, false} << 2.0 * 1152 / 44100;
    }

    void playsWholeSongOnce()
    {
        QFETCH(Song, song);
        QFETCH(double, slack);
        const QString path = m_songs.song(song);
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        MediaPlayer player;
        StateLog log(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
        const double extra = player.Duration() - SongFactory::seconds(song);
        QVERIFY2(extra >= -0.001 && extra <= slack, qPrintable(QString::number(extra)));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(log.changes, (Changes{{0, 2}, {2, 0}}));
        QVERIFY(log.onWindowThread);
        QVERIFY2(std::abs(player.Position() - player.Duration()) <= 0.002,
                 qPrintable(QString::number(player.Position())));
        // The whole tone, once, on both channels; lame takes up to a tenth of a tone's energy.
        const Heard out = heard();
        const double expected = SongFactory::seconds(song) * DeviceRate * SongFactory::Amplitude *
                                SongFactory::Amplitude / 2.0;
        QVERIFY2(std::abs(out.left / expected - 1.0) < 0.15, qPrintable(QString::number(out.left)));
        QVERIFY2(std::abs(out.right / out.left - 1.0) < 0.01,
                 qPrintable(QString::number(out.right)));
        QVERIFY2(std::abs(out.frames - player.Duration() * DeviceRate) < 0.002 * DeviceRate,
                 qPrintable(QString::number(out.frames)));
    }

    // One player through pause, resume, stop, restart, an Open while playing, and closing.
    void transport()
    {
        const Song next{48000, 2, 0.6, false};
        const QString path = m_songs.song(Song{44100, 1, 180.0, true});
        const QString nextPath = m_songs.song(next);
        QVERIFY2(!path.isEmpty() && !nextPath.isEmpty(), qPrintable(m_songs.error()));
        MediaPlayer player;
        StateLog log(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        player.Open(path);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 1.0, Timeout);
        player.Pause();
        // A device left open while paused would keep writing silence as fast as the disk allows.
        QTest::qWait(200);
        const double pausedAt = player.Position();
        const qint64 pausedSize = QFileInfo(m_outputFile).size();
        QTest::qWait(300);
        QCOMPARE(QFileInfo(m_outputFile).size(), pausedSize);
        QCOMPARE(player.Position(), pausedAt);
        player.Play();
        QVERIFY(player.Position() >= pausedAt);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > pausedAt + 1.0, Timeout);

        player.Stop();
        QCOMPARE(player.Position(), 0.0);
        QCOMPARE(player.CurrentFile(), path);
        player.Play();
        QVERIFY(player.Position() < pausedAt);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.5, Timeout);

        // The replaced song raises no SongEnded, and Position at once describes the new one.
        player.Open(nextPath);
        QVERIFY(player.Position() < 0.5);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QCOMPARE(ended.size(), 1);
        QVERIFY2(std::abs(player.Position() - SongFactory::seconds(next)) <= 0.002,
                 qPrintable(QString::number(player.Position())));

        player.setCurrentFile(QString());
        QCOMPARE(player.CurrentFile(), QString());
        QCOMPARE(player.Duration(), 0.0);
        QCOMPARE(log.changes, (Changes{{0, 2}, {2, 1}, {1, 2}, {2, 0}, {0, 2}, {2, 0}}));
        QVERIFY(log.onWindowThread);
    }

    void volumeScalesOutput_data()
    {
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("volume");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("-20 dB") << -2000 << -2000 << 0.1;
        QTest::newRow("silent") << -10000 << -10000 << 0.0;
        QTest::newRow("above full is full") << 300 << 0 << 1.0;
    }

    // Whole-song energies, so underruns (silence the disk driver writes) do not matter.
    void volumeScalesOutput()
    {
        QFETCH(int, written);
        QFETCH(int, volume);
        QFETCH(double, amplitude);
        const QString path = m_songs.song(Song{44100, 2, 0.5, false});
        QVERIFY2(!path.isEmpty(), qPrintable(m_songs.error()));
        double energy[2] = {};
        for (int run = 0; run < 2; ++run) {
            MediaPlayer player;
            player.setVolume(run == 0 ? 0 : written);
            QCOMPARE(player.Volume(), run == 0 ? 0 : volume);
            player.Open(path);
            QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
            const Heard out = heard();
            energy[run] = out.left + out.right;
        }
        const double ratio = std::sqrt(energy[1] / energy[0]);
        QVERIFY2(std::abs(ratio - amplitude) <= amplitude * 0.01,
                 qPrintable(QString::number(ratio)));
    }

    void brokenInput_data()
    {
        QTest::addColumn<QString>("path");
        // Seconds of it heard before SongEnded; negative: none.
        QTest::addColumn<double>("plays");
        QFile song(m_songs.song(Song{}));
        QVERIFY2(song.open(QIODevice::ReadOnly), qPrintable(m_songs.error()));
        const QByteArray whole = song.readAll();
        const qsizetype half = whole.size() / 2;
        QByteArray junk(4096, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
        bool written = true;
        const auto file = [&](const char* name, const QByteArray& bytes) {
            QFile out(m_dir.filePath(QString::fromLatin1(name)));
            written = written && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
            return out.fileName();
        };
        const QString fifo = m_dir.filePath(u"pipe.mp3"_s);
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QTest::newRow("missing") << m_dir.filePath(u"missing.mp3"_s) << -1.0;
        QTest::newRow("empty path") << QString() << -1.0;
        QTest::newRow("folder") << m_dir.path() << -1.0;
        QTest::newRow("zero bytes") << file("empty.mp3", {}) << -1.0;
        QTest::newRow("random bytes") << file("random.mp3", junk.repeated(16)) << -1.0;
        QTest::newRow("text named .mp3") << file("list.mp3", "Bread\nMilk\n") << -1.0;
        QTest::newRow("named pipe") << fifo << -1.0;
        QTest::newRow("breaks off halfway") << file("half.mp3", whole.left(half)) << 0.4;
        QTest::newRow("junk in the middle")
            << file("middle.mp3", whole.left(half) + junk + whole.mid(half)) << 0.9;
        QTest::newRow("junk at the end") << file("end.mp3", whole + junk) << 0.9;
        QVERIFY(written);
    }

    // Open returns at once, and a feeder stuck on the bad file would not play the good one.
    void brokenInput()
    {
        QFETCH(QString, path);
        QFETCH(double, plays);
        const QString good = m_songs.song(Song{44100, 2, 0.3, false});
        QVERIFY2(!good.isEmpty(), qPrintable(m_songs.error()));
        MediaPlayer player;
        StateLog log(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        QElapsedTimer clock;
        clock.start();
        player.Open(path);
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
        // Raised from within Open, the end would have a playlist of broken songs recurse.
        QCOMPARE(ended.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QCOMPARE(player.CurrentFile(), path);
        QCOMPARE(log.changes, path.isEmpty() ? Changes{} : (Changes{{0, 2}, {2, 0}}));
        // Only closing, with an empty path, is no end of a song.
        QCOMPARE(ended.size(), path.isEmpty() ? 0 : 1);
        QVERIFY2(player.Position() >= plays, qPrintable(QString::number(player.Position())));
        QVERIFY(plays < 0 ? player.Duration() == 0.0
                          : heard().frames >= qint64(plays * DeviceRate));
        player.Open(good);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), path.isEmpty() ? 1 : 2, Timeout);
    }

    // Played in real time (the disk driver waits one buffer's length per buffer), the next song
    // is opened from SongEnded as the playlist does; the device must not fall silent between.
    void nextSongOpenedAtSongEndFollowsWithoutGap()
    {
        const QString firstPath = m_songs.song(Song{44100, 2, 0.6, false, true, 440.0});
        const QString secondPath = m_songs.song(Song{48000, 1, 0.6, true, true, 660.0});
        QVERIFY2(!firstPath.isEmpty() && !secondPath.isEmpty(), qPrintable(m_songs.error()));
        qputenv("SDL_DISKAUDIODELAY", QByteArray::number(AudioOutput::BufferFrames * 1000 / 44100));
        const auto restoreDelay = qScopeGuard([] { qputenv("SDL_DISKAUDIODELAY", "0"); });
        MediaPlayer player;
        StateLog log(player);
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        connect(&player, &MediaComponent::SongEnded, &player, [&] {
            if (player.CurrentFile() == firstPath)
                player.Open(secondPath);
        });
        player.Open(firstPath);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 2, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
        QCOMPARE(log.changes, (Changes{{0, 2}, {2, 0}}));
        // Both songs back to back in one output; a sine sits at zero for a frame at most.
        const Heard out = heard();
        QVERIFY2(out.frames >= qint64(1.19 * DeviceRate), qPrintable(QString::number(out.frames)));
        QVERIFY2(out.longestInnerSilence <= 2,
                 qPrintable(QString::number(out.longestInnerSilence)));
    }
};

QTEST_GUILESS_MAIN(tst_MediaPlayer)
#include "tst_MediaPlayer.moc"
