// A song's file is deleted or cut short while the real player plays it (SDL's disk driver at
// twice real time). Nothing crashes or hangs: the song ends as a song ends, at the point where
// its file now ends, and the end-of-song chain goes on to the next song of the list.
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
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int Timeout = 60000;

} // namespace

class tst_vanishingsong : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SongFactory m_songs;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath(u"heard.raw"_s)));
        // Milliseconds per 4096-frame buffer of 93 ms: the song plays at twice real time, so
        // the feeder, which decodes two seconds ahead, is seconds away from the cut.
        qputenv("SDL_DISKAUDIODELAY", "46");
    }

    void cleanup() { WindowTest::reset(); }

    void vanishes_data()
    {
        QTest::addColumn<qint64>("keepPercent"); // -1: the file is deleted
        QTest::addColumn<double>("heardPercent");
        QTest::newRow("deleted: the open file plays on") << qint64(-1) << 100.0;
        QTest::newRow("cut to half") << qint64(50) << 50.0;
        QTest::newRow("emptied: what was decoded ahead") << qint64(0) << -1.0;
    }

    void vanishes()
    {
        QFETCH(qint64, keepPercent);
        QFETCH(double, heardPercent);
        const double seconds = 20.0;
        const QString made = m_songs.song({44100, 2, seconds, false, true, 330.0});
        const QString next = m_songs.song({44100, 2, 0.5, false, true, 660.0});
        QVERIFY2(!made.isEmpty() && !next.isEmpty(), qPrintable(m_songs.error()));
        const QString victim = m_dir.filePath(u"victim.mp3"_s);
        QFile::remove(victim);
        QVERIFY(QFile::copy(made, victim));

        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItem(victim);
        playlist.lista->addItem(next);
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        // The furthest into the first song the player was seen, polled as the song plays.
        double reached = 0.0;
        const auto heardSoFar = [&] {
            if (player.CurrentFile() == victim)
                reached = std::max(reached, player.Position());
            return reached;
        };
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        QTRY_VERIFY_WITH_TIMEOUT(heardSoFar() > 0.0, Timeout);
        QVERIFY(reached < 2.0);
        if (keepPercent < 0) {
            QVERIFY(QFile::remove(victim));
        } else {
            QFile file(victim);
            QVERIFY(file.resize(file.size() * keepPercent / 100));
        }

        QTRY_VERIFY_WITH_TIMEOUT((heardSoFar(), ended.size() == 2), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(bar.Lblabe->text(), u"2/2"_s);
        QCOMPARE(player.CurrentFile(), next);
        if (heardPercent > 0.0) {
            const double expected = seconds * heardPercent / 100.0;
            QVERIFY2(reached > expected - 0.6 && reached <= expected + 0.1,
                     qPrintable(QString::number(reached)));
        } else {
            QVERIFY2(reached > 1.0 && reached < seconds / 2, qPrintable(QString::number(reached)));
        }
    }
};

QTEST_MAIN(tst_vanishingsong)
#include "tst_vanishingsong.moc"
