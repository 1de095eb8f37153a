// The main bar's own behaviour: where it sits, what the windows above it do, and the volume
// buttons.
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/TrayIcon.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/SysInfo.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_Mahaia : public QObject {
    Q_OBJECT

    ScriptedMedia* player = nullptr;
    QStringList questions;
    int endedWith = -1;

    // Everything shown, as a user would have it before minimising.
    Mahaia& showAll()
    {
        Mahaia& bar = Form<Mahaia>();
        bar.show();
        Form<zerrenda>().show();
        Form<artxiboak>().show();
        Form<Egilea>().show();
        return bar;
    }

    void answer(int reply)
    {
        MsgBox::setAnswerer([this, reply](const QString& prompt, int style, const QString& title) {
            questions << prompt + QLatin1Char('|') + QString::number(style) + QLatin1Char('|') +
                             title;
            return reply;
        });
    }

private slots:
    void init()
    {
        player = new ScriptedMedia;
        Form<extrak>().replaceMedi(player);
    }

    void cleanup()
    {
        WindowTest::reset();
        questions.clear();
        endedWith = -1;
    }

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

    void activationMakesTheBarTopmostWithoutFocus()
    {
        Mahaia& bar = Form<Mahaia>();
        QVERIFY(!bar.isTopmost());
        bar.show();
        QVERIFY(bar.isTopmost());
        QVERIFY(bar.testAttribute(Qt::WA_ShowWithoutActivating));
        const QPoint place = bar.pos();
        bar.Form_Activate();
        QCOMPARE(bar.pos(), place);
        QCOMPARE(bar.size(), QSize(212, 37));
    }

    void minimisedByTheWindowManagerHides()
    {
        Mahaia& bar = Form<Mahaia>();
        bar.show();
        bar.setWindowState(Qt::WindowMinimized);
        QVERIFY(bar.isHidden());
        QVERIFY(!bar.tray->isShown());
    }

    // Minimising hides every window, the destroyed browser too (made again, hidden), and puts
    // the icon in the tray. Without a tray the bar would be unreachable, so nothing hides.
    void minimise_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }

    void minimise()
    {
        QFETCH(bool, trayAvailable);
        Mahaia& bar = showAll();
        bar.tray->pinAvailability(trayAvailable);
        WindowRegistry::instance().unload<artxiboak>();
        QTest::mouseClick(bar.Imabehe, Qt::MiddleButton);
        for (const QWidget* window :
             {static_cast<QWidget*>(&Form<artxiboak>()), static_cast<QWidget*>(&Form<zerrenda>()),
              static_cast<QWidget*>(&Form<Egilea>()), static_cast<QWidget*>(&bar)})
            QCOMPARE(window->isHidden(), trayAvailable || window == &Form<artxiboak>());
        QCOMPARE(bar.isTopmost(), !trayAvailable);
        QCOMPARE(bar.tray->isShown(), trayAvailable);
        QCOMPARE(bar.tray->tip(), trayAvailable ? QStringLiteral("IxoMP3") : QString());
        QCOMPARE(bar.Imabehe->pictureFile(), QStringLiteral("bera.ico"));
    }

    void trayNotifications_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restores");
        QTest::addColumn<bool>("menu");
        QTest::newRow("move") << 0x200 << false << false;
        QTest::newRow("left press") << 0x201 << false << false;
        QTest::newRow("left release") << 0x202 << false << false;
        QTest::newRow("left double click") << 0x203 << true << false;
        QTest::newRow("right press") << 0x204 << false << false;
        QTest::newRow("right release") << 0x205 << false << true;
        QTest::newRow("right double click") << 0x206 << false << false;
        QTest::newRow("middle release") << 0x208 << false << false;
    }

    void trayNotifications()
    {
        QFETCH(int, code);
        QFETCH(bool, restores);
        QFETCH(bool, menu);
        Mahaia& bar = showAll();
        bar.tray->pinAvailability(true);
        bar.Imabehe_MouseUp();
        emit bar.tray->Notify(code);
        QCOMPARE(bar.isVisible(), restores);
        QCOMPARE(bar.tray->isShown(), !restores);
        QCOMPARE(bar.menua->isVisible(), menu);
        if (restores)
            QVERIFY(bar.isTopmost());
        bar.menua->hide();
    }

    // Either way back shows only the bar; what was open before stays hidden.
    void restoreShowsOnlyTheBar_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("double click") << false;
        QTest::newRow("menu item") << true;
    }

    void restoreShowsOnlyTheBar()
    {
        QFETCH(bool, fromMenu);
        Mahaia& bar = showAll();
        bar.tray->pinAvailability(true);
        bar.Imabehe_MouseUp();
        fromMenu ? bar.menu_Click(0) : bar.Tray_Notify(TrayIcon::LeftDoubleClick);
        QVERIFY(bar.isVisible());
        QVERIFY(!bar.isMinimized());
        QVERIFY(bar.isTopmost());
        QVERIFY(!bar.tray->isShown());
        QVERIFY(Form<zerrenda>().isHidden());
        QVERIFY(Form<artxiboak>().isHidden());
        QVERIFY(Form<Egilea>().isHidden());
    }

    // The menu runs the buttons' commands on the hidden bar, which stays in the tray; the
    // separator and unknown items do nothing.
    void menuDrivesTheHiddenBar()
    {
        Mahaia& bar = showAll();
        bar.tray->pinAvailability(true);
        for (int number = 1; number <= 3; ++number)
            Form<zerrenda>().lista->addItem(QStringLiteral("/m/%1.mp3").arg(number));
        bar.Timi_Timer();
        bar.Imabehe_MouseUp();
        bar.menu_Click(2);
        bar.menu_Click(2);
        bar.menu_Click(6);
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("2/3"));
        bar.menu_Click(5);
        bar.menu_Click(4);
        bar.menu_Click(3);
        for (int index : {1, 7, -1})
            bar.menu_Click(index);
        QCOMPARE(player->calls, (QStringList{QStringLiteral("Open(/m/2.mp3)"),
                                             QStringLiteral("Pause"), QStringLiteral("Stop")}));
        QVERIFY(bar.isHidden());
        QVERIFY(bar.tray->isShown());
    }

    void windowButtons()
    {
        Mahaia& bar = Form<Mahaia>();
        bar.Imazerr_MouseUp();
        bar.Imazerr_MouseUp();
        QVERIFY(Form<zerrenda>().isVisible());
        bar.Imaegil_MouseUp();
        QVERIFY(Form<Egilea>().isVisible());
    }

    void exit_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QString>("save");
        QTest::addColumn<bool>("ends");
        QTest::newRow("nothing unsaved ends without a question") << false << 0 << "" << true;
        QTest::newRow("cancel keeps running") << true << int(MsgBox::Cancel) << "" << false;
        QTest::newRow("no ends") << true << int(MsgBox::No) << "" << true;
        QTest::newRow("yes and a saved list ends") << true << int(MsgBox::Yes) << "file" << true;
        QTest::newRow("yes and a cancelled save keeps running")
            << true << int(MsgBox::Yes) << "cancel" << false;
        QTest::newRow("yes and a failed save keeps running")
            << true << int(MsgBox::Yes) << "folder" << false;
    }

    void exit()
    {
        QFETCH(bool, unsaved);
        QFETCH(int, reply);
        QFETCH(QString, save);
        QFETCH(bool, ends);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WindowRegistry::instance().setProgramEnder([this](int status) { endedWith = status; });
        answer(reply);
        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItems({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")});
        playlist.Imagord->setVisible(unsaved);
        playlist.diago->setChooser([&](const CommonDialog&, CommonDialog::Kind) {
            if (save == QStringLiteral("file"))
                return folder.filePath(QStringLiteral("list.m3u"));
            return save == QStringLiteral("folder") ? folder.path() : QString();
        });
        Mahaia& bar = Form<Mahaia>();
        bar.show();
        QTest::mouseClick(bar.Imairte, Qt::RightButton);
        QCOMPARE(endedWith, ends ? 0 : -1);
        QCOMPARE(bar.isTopmost(), !ends);
        const bool failed = save == QStringLiteral("folder");
        QCOMPARE(questions.size(), unsaved ? (failed ? 2 : 1) : 0);
        if (unsaved)
            QCOMPARE(questions.constFirst(),
                     QStringLiteral("Gorde nahi duzu irten aurretik zerrenda hau?|35|Irten..."));
        if (failed)
            QVERIFY(questions.at(1).startsWith(QStringLiteral("Ezin izan da zerrenda gorde: ")) &&
                    questions.at(1).endsWith(QStringLiteral("|16|Okerra")));
        QCOMPARE(playlist.ListCount(), 2);
        if (!ends)
            QVERIFY(!playlist.Imagord->isHidden());
        if (save == QStringLiteral("file"))
            QCOMPARE(QFile(folder.filePath(QStringLiteral("list.m3u"))).size(), 20);
    }

    // A close request from the window manager asks as the exit button does; on the other
    // windows it only hides them.
    void closeRequests()
    {
        WindowRegistry::instance().setProgramEnder([this](int status) { endedWith = status; });
        answer(MsgBox::Cancel);
        Mahaia& bar = showAll();
        Form<zerrenda>().Imagord->show();
        QVERIFY(!bar.close());
        QCOMPARE(questions.size(), 1);
        QCOMPARE(endedWith, -1);
        QVERIFY(bar.isVisible());
        QVERIFY(!Form<zerrenda>().close());
        QVERIFY(Form<zerrenda>().isHidden());
        QVERIFY(WindowRegistry::instance().isLoaded<zerrenda>());
        Form<zerrenda>().Imagord->hide();
        bar.close();
        QCOMPARE(endedWith, 0);
    }
};

QTEST_MAIN(tst_Mahaia)
#include "tst_Mahaia.moc"
