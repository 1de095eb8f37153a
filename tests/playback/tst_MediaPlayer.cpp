#include "playback/AudioOutput.h"
#include "playback/MediaPlayer.h"
#include "support/SongFactory.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <array>
#include <cmath>
#include <cstring>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Song = SongFactory::Song;
using Damage = SongFactory::Damage;

namespace {

constexpr int Timeout = 30000;
constexpr double DeviceRate = AudioOutput::SampleRate;

// Every PlayStateChanged, with the thread it arrived on.
class StateLog : public QObject {
public:
    explicit StateLog(MediaPlayer& player)
    {
        connect(&player, &MediaComponent::PlayStateChanged, this, [this](int from, int to) {
            changes.append({from, to});
            onWindowThread = onWindowThread && QThread::currentThread() == thread();
        });
    }
    QList<QPair<int, int>> changes;
    bool onWindowThread = true;
};

struct ChannelEnergy {
    double left = 0.0;
    double right = 0.0;
    qint64 frames = 0;
};

} // namespace

class tst_MediaPlayer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void playsWholeSongOnce_data();
    void playsWholeSongOnce();
    void lengthOfUntaggedSongComesFromScan();
    void pauseHoldsPositionAndReleasesDevice();
    void openWhilePlayingReplacesSong();
    void stopRewindsAndPlayStartsAgain();
    void emptyPathCloses();
    void volumeScalesOutput_data();
    void volumeScalesOutput();
    void unplayableFileLeavesPlayerStopped_data();
    void unplayableFileLeavesPlayerStopped();
    void damagedSongPlaysWhatDecodes_data();
    void damagedSongPlaysWhatDecodes();
    void nextSongOpenedAtSongEndFollowsWithoutGap();

private:
    QString make(const Song& song);
    [[nodiscard]] QVector<float> output() const;
    [[nodiscard]] ChannelEnergy energy() const;
    [[nodiscard]] bool outputOpen() const;

    SongFactory m_factory;
    QTemporaryDir m_outputDir;
    QString m_outputFile;
};

void tst_MediaPlayer::initTestCase()
{
    QVERIFY(m_outputDir.isValid());
    m_outputFile = m_outputDir.filePath(u"heard.raw"_s);
    // The disk driver writes exactly what a listener would hear, as fast as the disk allows.
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_outputFile));
    qputenv("SDL_DISKAUDIODELAY", "0");
}

QString tst_MediaPlayer::make(const Song& song)
{
    const QString path = m_factory.song(song);
    if (path.isEmpty())
        qWarning("%s", qPrintable(m_factory.error()));
    return path;
}

// The device takes interleaved stereo 32-bit floats in the machine's byte order, and the disk
// driver writes its buffers unchanged.
QVector<float> tst_MediaPlayer::output() const
{
    QFile file(m_outputFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QVector<float> samples(bytes.size() / qsizetype(sizeof(float)));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
    return samples;
}

ChannelEnergy tst_MediaPlayer::energy() const
{
    const QVector<float> samples = output();
    ChannelEnergy result;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2) {
        result.left += double(samples[i]) * samples[i];
        result.right += double(samples[i + 1]) * samples[i + 1];
        if (samples[i] != 0.0F || samples[i + 1] != 0.0F)
            ++result.frames;
    }
    return result;
}

bool tst_MediaPlayer::outputOpen() const
{
    const QString target = QFileInfo(m_outputFile).canonicalFilePath();
    const QFileInfoList fds = QDir(u"/proc/self/fd"_s).entryInfoList(QDir::System);
    return std::any_of(fds.begin(), fds.end(),
                       [&](const QFileInfo& fd) { return fd.symLinkTarget() == target; });
}

void tst_MediaPlayer::playsWholeSongOnce_data()
{
    QTest::addColumn<Song>("song");
    QTest::newRow("CBR 44.1 kHz stereo") << Song{44100, 2, 1.3, false};
    QTest::newRow("CBR 48 kHz mono") << Song{48000, 1, 0.9, false};
    QTest::newRow("VBR 44.1 kHz mono") << Song{44100, 1, 1.1, true};
    QTest::newRow("VBR 48 kHz stereo") << Song{48000, 2, 1.7, true};
}

// Pins the true length, a single SongEnded, and that what the device played is the whole
// tone at full level on both channels, with Position counting exactly that.
void tst_MediaPlayer::playsWholeSongOnce()
{
    QFETCH(Song, song);
    const QString path = make(song);
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    StateLog log(player);
    QSignalSpy ended(&player, &MediaComponent::SongEnded);
    player.Open(path);
    QCOMPARE(player.PlayState(), MediaComponent::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
    QVERIFY2(std::abs(player.Duration() - SongFactory::seconds(song)) <= 0.001,
             qPrintable(QString::number(player.Duration())));
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);

    QCOMPARE(ended.size(), 1);
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 0}}));
    QVERIFY(log.onWindowThread);
    QCOMPARE(player.CurrentFile(), path);
    QVERIFY2(std::abs(player.Position() - player.Duration()) <= 0.002,
             qPrintable(QString::number(player.Position())));
    const ChannelEnergy heard = energy();
    const double expected = SongFactory::seconds(song) * DeviceRate * SongFactory::Amplitude *
                            SongFactory::Amplitude / 2.0;
    // lame's quantisation takes up to a tenth of a pure tone's energy at 128 kbit/s; a lost
    // channel or a lost stretch of the song takes far more.
    QVERIFY2(std::abs(heard.left / expected - 1.0) < 0.15, qPrintable(QString::number(heard.left)));
    QVERIFY2(std::abs(heard.right / heard.left - 1.0) < 0.01,
             qPrintable(QString::number(heard.right)));
    QVERIFY2(std::abs(heard.frames - SongFactory::seconds(song) * DeviceRate) < 0.002 * DeviceRate,
             qPrintable(QString::number(heard.frames)));
}

// Without a LAME/Xing tag a VBR file's length can only be found by reading every frame; the
// estimate from the first frame is far off for a song whose bit rate changes.
void tst_MediaPlayer::lengthOfUntaggedSongComesFromScan()
{
    const Song song{44100, 2, 3.0, true, false};
    const QString path = make(song);
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    player.Open(path);
    QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
    // Untrimmed, the length includes the encoder's delay and padding: under two frames.
    const double extra = player.Duration() - SongFactory::seconds(song);
    QVERIFY2(extra >= 0.0 && extra < 2.0 * 1152 / 44100, qPrintable(QString::number(extra)));
}

void tst_MediaPlayer::pauseHoldsPositionAndReleasesDevice()
{
    const QString path = make(Song{44100, 1, 180.0, true});
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    StateLog log(player);
    player.Open(path);
    QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 1.0, Timeout);
    player.Pause();
    QCOMPARE(player.PlayState(), MediaComponent::Paused);
    // A paused SDL device would still write silence; ours is closed, so the output stays put.
    QTRY_VERIFY_WITH_TIMEOUT(!outputOpen(), Timeout);
    const double pausedAt = player.Position();
    QVERIFY(pausedAt > 1.0 && pausedAt < 180.0);

    player.Play();
    QCOMPARE(player.PlayState(), MediaComponent::Playing);
    QVERIFY(player.Position() >= pausedAt);
    QTRY_VERIFY_WITH_TIMEOUT(player.Position() > pausedAt + 1.0, Timeout);
    player.Stop();
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 1}, {1, 2}, {2, 0}}));
    QVERIFY(log.onWindowThread);
}

void tst_MediaPlayer::openWhilePlayingReplacesSong()
{
    const Song second{48000, 2, 0.6, false};
    const QString first = make(Song{44100, 1, 180.0, true});
    const QString path = make(second);
    QVERIFY(!first.isEmpty() && !path.isEmpty());
    MediaPlayer player;
    StateLog log(player);
    QSignalSpy ended(&player, &MediaComponent::SongEnded);
    player.Open(first);
    QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.5, Timeout);
    player.Open(path);
    QCOMPARE(player.CurrentFile(), path);
    QVERIFY(player.Position() < 0.5);
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);

    QCOMPARE(ended.size(), 1);
    QVERIFY(std::abs(player.Duration() - SongFactory::seconds(second)) <= 0.001);
    QVERIFY2(std::abs(player.Position() - SongFactory::seconds(second)) <= 0.002,
             qPrintable(QString::number(player.Position())));
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 0}}));
}

void tst_MediaPlayer::stopRewindsAndPlayStartsAgain()
{
    const QString path = make(Song{44100, 1, 180.0, true});
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    QSignalSpy ended(&player, &MediaComponent::SongEnded);
    player.setCurrentFile(path);
    QCOMPARE(player.PlayState(), MediaComponent::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.5, Timeout);
    player.Stop();
    QCOMPARE(player.PlayState(), MediaComponent::Stopped);
    QCOMPARE(player.Position(), 0.0);
    QCOMPARE(player.CurrentFile(), path);
    QTRY_VERIFY_WITH_TIMEOUT(!outputOpen(), Timeout);
    QVERIFY(player.Duration() > 179.0);

    player.Play();
    QCOMPARE(player.PlayState(), MediaComponent::Playing);
    QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0.0, Timeout);
    player.Stop();
    QCOMPARE(ended.size(), 0);
}

// The playback monitor writes "" ten times a second; only the first write may do anything.
void tst_MediaPlayer::emptyPathCloses()
{
    const QString path = make(Song{44100, 2, 0.5, false});
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    StateLog log(player);
    player.setCurrentFile(QString());
    QVERIFY(log.changes.isEmpty());
    player.Open(path);
    QTRY_VERIFY_WITH_TIMEOUT(player.Duration() > 0.0, Timeout);
    player.setCurrentFile(QString());
    QCOMPARE(player.CurrentFile(), QString());
    QCOMPARE(player.PlayState(), MediaComponent::Stopped);
    QCOMPARE(player.Duration(), 0.0);
    QCOMPARE(player.Position(), 0.0);
    player.setCurrentFile(QString());
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 0}}));
}

void tst_MediaPlayer::volumeScalesOutput_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("volume");
    QTest::addColumn<double>("amplitude");
    QTest::newRow("full") << 0 << 0 << 1.0;
    QTest::newRow("-20 dB") << -2000 << -2000 << 0.1;
    QTest::newRow("-60 dB") << -6000 << -6000 << 0.001;
    QTest::newRow("silent") << -10000 << -10000 << 0.0;
    QTest::newRow("above full is full") << 300 << 0 << 1.0;
    QTest::newRow("below silent is silent") << -12000 << -10000 << 0.0;
}

// The amplitude ratio comes from the whole song's energy, so underruns (silence the disk
// driver writes while the decoder catches up) do not disturb it.
void tst_MediaPlayer::volumeScalesOutput()
{
    QFETCH(int, written);
    QFETCH(int, volume);
    QFETCH(double, amplitude);
    const QString path = make(Song{44100, 2, 0.5, false});
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    QCOMPARE(player.Volume(), 0);
    player.setVolume(written);
    QCOMPARE(player.Volume(), volume);

    std::array<double, 2> heard{};
    for (std::size_t run = 0; run < heard.size(); ++run) {
        MediaPlayer playing;
        playing.setVolume(run == 0 ? 0 : written);
        playing.Open(path);
        QTRY_COMPARE_WITH_TIMEOUT(playing.PlayState(), MediaComponent::Stopped, Timeout);
        const ChannelEnergy channels = energy();
        heard.at(run) = channels.left + channels.right;
    }
    const double full = heard[0];
    const double scaled = heard[1];
    QVERIFY(full > 0.0);
    const double ratio = std::sqrt(scaled / full);
    QVERIFY2(std::abs(ratio - amplitude) <= amplitude * 0.01, qPrintable(QString::number(ratio)));
}

void tst_MediaPlayer::unplayableFileLeavesPlayerStopped_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::newRow("missing") << Damage::Missing;
    QTest::newRow("zero bytes") << Damage::ZeroBytes;
    QTest::newRow("random bytes") << Damage::RandomBytes;
    QTest::newRow("text file") << Damage::TextFile;
    QTest::newRow("folder") << Damage::Folder;
    QTest::newRow("unreadable") << Damage::Unreadable;
    QTest::newRow("named pipe") << Damage::Fifo;
}

// Afterwards the same player must still play a good song: a decoder stuck on the bad one
// would never get to it.
void tst_MediaPlayer::unplayableFileLeavesPlayerStopped()
{
    QFETCH(Damage, damage);
    if (damage == Damage::Unreadable && ::geteuid() == 0)
        QSKIP("Running as root, which reads a file whatever its permissions say.");
    const QString path = m_factory.damaged(damage);
    const QString good = make(Song{44100, 2, 0.3, false});
    QVERIFY(!path.isEmpty() && !good.isEmpty());
    MediaPlayer player;
    StateLog log(player);
    QSignalSpy ended(&player, &MediaComponent::SongEnded);
    player.Open(path);
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
    QCOMPARE(player.CurrentFile(), path);
    QCOMPARE(player.Duration(), 0.0);
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 0}}));
    QVERIFY(log.onWindowThread);

    player.Open(good);
    QVERIFY(ended.wait(Timeout));
    QCOMPARE(ended.size(), 1);
}

void tst_MediaPlayer::damagedSongPlaysWhatDecodes_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<double>("heard");
    QTest::newRow("breaks off halfway") << Damage::Truncated << 0.4;
    QTest::newRow("junk in the middle") << Damage::JunkInMiddle << 0.9;
    QTest::newRow("junk at the end") << Damage::JunkAtEnd << 0.9;
}

void tst_MediaPlayer::damagedSongPlaysWhatDecodes()
{
    QFETCH(Damage, damage);
    QFETCH(double, heard);
    const QString path = m_factory.damaged(damage);
    QVERIFY(!path.isEmpty());
    MediaPlayer player;
    QSignalSpy ended(&player, &MediaComponent::SongEnded);
    player.Open(path);
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), MediaComponent::Stopped, Timeout);
    QCOMPARE(ended.size(), 1);
    QVERIFY2(player.Position() >= heard, qPrintable(QString::number(player.Position())));
    QVERIFY(energy().frames >= qint64(heard * DeviceRate));
}

// Played in real time (the disk driver waits one buffer's length per buffer), the window
// opens the next song from its SongEnded handler as the playlist does; the device must not
// fall silent between the two.
void tst_MediaPlayer::nextSongOpenedAtSongEndFollowsWithoutGap()
{
    const Song first{44100, 2, 0.6, false, true, 440.0};
    const Song second{48000, 1, 0.6, true, true, 660.0};
    const QString firstPath = make(first);
    const QString secondPath = make(second);
    QVERIFY(!firstPath.isEmpty() && !secondPath.isEmpty());
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
    QCOMPARE(log.changes, (QList<QPair<int, int>>{{0, 2}, {2, 0}}));

    const QVector<float> samples = output();
    qsizetype firstSound = -1;
    qsizetype lastSound = -1;
    qsizetype longestSilence = 0;
    qsizetype silence = 0;
    for (qsizetype frame = 0; frame * 2 + 1 < samples.size(); ++frame) {
        const bool quiet = samples[frame * 2] == 0.0F && samples[frame * 2 + 1] == 0.0F;
        if (!quiet) {
            if (firstSound >= 0)
                longestSilence = std::max(longestSilence, silence);
            firstSound = firstSound < 0 ? frame : firstSound;
            lastSound = frame;
        }
        silence = quiet ? silence + 1 : 0;
    }
    // Both songs are in one output, back to back; a sine crosses zero for a frame at most.
    QVERIFY2(lastSound - firstSound >= qsizetype(1.19 * DeviceRate),
             qPrintable(QString::number(lastSound - firstSound)));
    QVERIFY2(longestSilence <= 2, qPrintable(QString::number(longestSilence)));
}

QTEST_GUILESS_MAIN(tst_MediaPlayer)
#include "tst_MediaPlayer.moc"
