// The main bar's own behaviour: where it sits, what the windows above it do, and the volume
// buttons.
#include "filebrowser/artxiboak.h"
#include "frame/ImageButton.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/SysInfo.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

class tst_Mahaia : public QObject {
    Q_OBJECT

    ScriptedMedia* player = nullptr;

private slots:
    void init()
    {
        player = new ScriptedMedia;
        Form<extrak>().replaceMedi(player);
    }

    void cleanup() { WindowTest::reset(); }

    // Work areas in twips; the bar's right and bottom edges meet the work area's.
    void placement_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("barAt");
        QTest::newRow("panel at the bottom")
            << QRect(0, 0, 1024 * 15, 738 * 15) << QPoint((1024 - 212) * 15, (738 - 37) * 15);
        QTest::newRow("panels at the left and top") << QRect(48 * 15, 30 * 15, 976 * 15, 738 * 15)
                                                    << QPoint((1024 - 212) * 15, (768 - 37) * 15);
        QTest::newRow("second screen to the right") << QRect(1920 * 15, 0, 1280 * 15, 1024 * 15)
                                                    << QPoint((3200 - 212) * 15, (1024 - 37) * 15);
    }

    void placement()
    {
        QFETCH(QRect, workArea);
        QFETCH(QPoint, barAt);
        Form<extrak>().info->setWorkArea(workArea);
        const Mahaia& bar = Form<Mahaia>();
        QCOMPARE(QPoint(bar.Left(), bar.Top()), barAt);
        QCOMPARE(bar.frameGeometry().bottomRight() + QPoint(1, 1),
                 QPoint((workArea.x() + workArea.width()) / 15,
                        (workArea.y() + workArea.height()) / 15));
        const zerrenda& playlist = Form<zerrenda>();
        QCOMPARE(playlist.Left(), bar.Left());
        QCOMPARE(playlist.Top() + playlist.Height(), bar.Top());
        const artxiboak& browser = Form<artxiboak>();
        QCOMPARE(browser.Left(), bar.Left());
        QCOMPARE(browser.Top() + browser.Height(), bar.Top());
    }

    // A browser created again after its add button destroyed it sits above the bar where the
    // bar is then.
    void recreatedBrowserFollowsTheBar()
    {
        Mahaia& bar = Form<Mahaia>();
        Form<artxiboak>();
        bar.Move(300 * 15, 400 * 15);
        WindowRegistry::instance().unload<artxiboak>();
        const artxiboak& browser = Form<artxiboak>();
        QCOMPARE(browser.Left(), 300 * 15);
        QCOMPARE(browser.Top(), 400 * 15 - browser.Height());
    }

    void volumeSteps_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("end");
        QTest::newRow("ten steps down") << "down" << 0 << 10 << -1000;
        QTest::newRow("down stops at silence") << "down" << -9800 << 5 << -10000;
        QTest::newRow("up at full does nothing") << "up" << 0 << 3 << 0;
        QTest::newRow("up from silence") << "up" << -10000 << 2 << -9800;
        QTest::newRow("short click changes nothing") << "down" << -500 << 0 << -500;
        QTest::newRow("off the grid never goes above full") << "up" << -50 << 3 << 0;
        QTest::newRow("off the grid never goes below silence") << "down" << -9950 << 3 << -10000;
        QTest::newRow("reported above full comes back in range") << "down" << 40 << 1 << -60;
    }

    void volumeSteps()
    {
        QFETCH(QString, button);
        QFETCH(int, start);
        QFETCH(int, ticks);
        QFETCH(int, end);
        Mahaia& bar = Form<Mahaia>();
        const bool up = button == QStringLiteral("up");
        ImageButton* pressed = up ? bar.Imagora : bar.Imabera;
        QTimer* repeat = up ? bar.timigora : bar.Timibera;
        player->volume = start;
        QTest::mousePress(pressed, Qt::LeftButton);
        QVERIFY(repeat->isActive());
        QCOMPARE(player->volume, start);
        for (int tick = 0; tick < ticks; ++tick) {
            up ? bar.timigora_Timer() : bar.Timibera_Timer();
            QVERIFY(player->volume >= -10000 && player->volume <= 0);
        }
        QTest::mouseRelease(pressed, Qt::LeftButton);
        QVERIFY(!repeat->isActive());
        QCOMPARE(player->volume, end);
    }

    void tenStepsDownShowNinety()
    {
        Mahaia& bar = Form<Mahaia>();
        QTest::mousePress(bar.Imabera, Qt::RightButton);
        for (int tick = 0; tick < 10; ++tick)
            bar.Timibera_Timer();
        QTest::mouseRelease(bar.Imabera, Qt::RightButton);
        bar.Timi_Timer();
        QCOMPARE(bar.Lblahot->text(), QStringLiteral("% 90"));
    }
};

QTEST_MAIN(tst_Mahaia)
#include "tst_Mahaia.moc"
