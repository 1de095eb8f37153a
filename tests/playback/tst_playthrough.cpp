// A playlist of real songs plays through by itself, with the real player on SDL's disk driver:
// the end-of-song chain moves the counter to the last song and playback then stops.
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/SongFactory.h"
#include "support/WindowTest.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <cstring>

namespace {

constexpr int DeviceRate = 44100;

// Frequency of the left channel over a stretch of interleaved stereo floats, from its zero
// crossings.
double frequencyAt(const QVector<float>& samples, qsizetype firstFrame, qsizetype frames)
{
    int crossings = 0;
    for (qsizetype frame = firstFrame + 1; frame < firstFrame + frames; ++frame) {
        const bool before = samples.at(2 * (frame - 1)) >= 0;
        const bool now = samples.at(2 * frame) >= 0;
        crossings += before != now ? 1 : 0;
    }
    return crossings / 2.0 / (double(frames) / DeviceRate);
}

} // namespace

class tst_playthrough : public QObject {
    Q_OBJECT

    QTemporaryDir output;
    SongFactory factory;
    QList<quintptr> handlersBefore;

    static QList<quintptr> terminationHandlers()
    {
        QList<quintptr> handlers;
        for (int signal : {SIGTERM, SIGINT}) {
            struct sigaction action {};
            sigaction(signal, nullptr, &action);
            handlers << reinterpret_cast<quintptr>(action.sa_handler);
        }
        return handlers;
    }

    QVector<float> heard() const
    {
        return SongFactory::readHeard(output.filePath(QStringLiteral("heard.raw")));
    }

    // Stereo frames with every stretch of more than a few silent frames taken out.
    static QVector<float> withoutSilence(const QVector<float>& samples)
    {
        constexpr qsizetype Brief = 16;
        QVector<float> sound;
        qsizetype quietFrom = -1;
        const qsizetype frames = samples.size() / 2;
        for (qsizetype frame = 0; frame <= frames; ++frame) {
            const bool quiet = frame < frames && std::fabs(samples.at(2 * frame)) < 0.01F;
            if (quiet && quietFrom < 0)
                quietFrom = frame;
            if (quiet)
                continue;
            if (quietFrom >= 0 && frame - quietFrom <= Brief)
                sound.append(samples.mid(2 * quietFrom, 2 * (frame - quietFrom)));
            quietFrom = -1;
            if (frame < frames)
                sound.append(samples.mid(2 * frame, 2));
        }
        return sound;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(output.isValid());
        // As in the player outside a test: nothing handles these signals but the default.
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        handlersBefore = terminationHandlers();
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE",
                QFile::encodeName(output.filePath(QStringLiteral("heard.raw"))));
        qputenv("SDL_DISKAUDIODELAY", "0");
    }

    void cleanup() { WindowTest::reset(); }

    void fiveSongsPlayThroughAndStop()
    {
        const QList<double> tones = {300, 400, 500, 600, 700};
        zerrenda& playlist = Form<zerrenda>();
        for (double tone : tones) {
            const QString path = factory.song({DeviceRate, 2, 1.0, false, true, tone});
            QVERIFY2(!path.isEmpty(), qPrintable(factory.error()));
            playlist.lista->addItem(path);
        }
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        bar.Timi_Timer();
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("1/5"));
        bar.Imahasi_MouseUp();
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 5, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), 10000);
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("5/5"));
        // The sound system must leave the program killable by the session and by kill.
        QCOMPARE(terminationHandlers(), handlersBefore);
        QCOMPARE(player.CurrentFile(), playlist.List(4));

        // The device closes whenever playback rests, and the disk driver starts its file anew
        // when the device opens, so the file holds what was heard since the last song began.
        // With no delay the disk driver takes buffers faster than a loaded machine decodes,
        // and the gaps are padded with silence; only the sound itself is looked at.
        const QVector<float> samples = withoutSilence(heard());
        const qsizetype end = samples.size() / 2;
        QVERIFY(end > DeviceRate * 3 / 4);
        const double last = frequencyAt(samples, end - DeviceRate * 3 / 4, DeviceRate / 2);
        QVERIFY2(std::fabs(last - tones.last()) < tones.last() * 0.03,
                 qPrintable(QStringLiteral("last song heard at %1 Hz").arg(last)));
    }
};

QTEST_MAIN(tst_playthrough)
#include "tst_playthrough.moc"
