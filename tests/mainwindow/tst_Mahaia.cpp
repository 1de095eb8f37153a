// The main bar: where it sits, its volume buttons, the way to the tray and back, and the exit
// that must never drop an unsaved playlist.
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

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

bool topmost(const QWidget& window)
{
    return window.windowHandle() != nullptr &&
           window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

// Which of the bar, the playlist, the browser and the about window show, and whether the tray
// holds the icon: "MzaE T" with "-" for what is hidden or absent.
QString shown()
{
    QString text = QStringLiteral("MzaE T");
    const QWidget* windows[] = {&Form<Mahaia>(), &Form<zerrenda>(), &Form<artxiboak>(),
                                &Form<Egilea>()};
    for (int at = 0; at < 4; ++at)
        text[at] = windows[at]->isVisible() ? text.at(at) : u'-';
    text[5] = Form<Mahaia>().tray->isShown() ? u'T' : u'-';
    return text;
}

} // namespace

class tst_Mahaia : public QObject {
    Q_OBJECT

    ScriptedMedia* player = nullptr;
    QStringList questions;

    Mahaia& showAll()
    {
        for (QWidget* window :
             {static_cast<QWidget*>(&Form<Mahaia>()), static_cast<QWidget*>(&Form<zerrenda>()),
              static_cast<QWidget*>(&Form<artxiboak>()), static_cast<QWidget*>(&Form<Egilea>())})
            window->show();
        return Form<Mahaia>();
    }

    void answer(int reply)
    {
        WindowTest::answers().message =
            ([this, reply](const QString& prompt, int style, const QString& title) {
                questions << QStringLiteral("%1|%2|%3").arg(prompt).arg(style).arg(title);
                return reply;
            });
    }

private slots:
    void init()
    {
        WindowTest::answers().media = [this](QObject* host) {
            return player = new ScriptedMedia(host);
        };
        Form<extrak>();
    }

    void cleanup()
    {
        WindowTest::reset();
        questions.clear();
    }

    // The bar's right and bottom edges meet the work area's, whatever panels take; the windows
    // above it sit on its top edge, a browser made again too, wherever the bar is then.
    void placement_data()
    {
        QTest::addColumn<QRect>("workArea"); // in pixels
        QTest::newRow("panel at the bottom") << QRect(0, 0, 1024, 738);
        QTest::newRow("panels at the left and top") << QRect(48, 30, 976, 738);
        QTest::newRow("second screen to the right") << QRect(1920, 0, 1280, 1024);
    }

    void placement()
    {
        QFETCH(QRect, workArea);
        WindowTest::answers().workArea = (QRect(workArea.topLeft() * 15, workArea.size() * 15));
        Mahaia& bar = Form<Mahaia>();
        QCOMPARE(bar.frameGeometry().bottomRight(), workArea.bottomRight());
        for (const FormWindow* above : {static_cast<FormWindow*>(&Form<zerrenda>()),
                                        static_cast<FormWindow*>(&Form<artxiboak>())})
            QCOMPARE(QPoint(above->Left(), above->Top() + above->Height()),
                     QPoint(bar.Left(), bar.Top()));
        bar.Move(300 * 15, 400 * 15);
        WindowRegistry::instance().unload<artxiboak>();
        QCOMPARE(Form<artxiboak>().frameGeometry().bottomLeft(), QPoint(300, 399));
    }

    // One step of 100 per tick while held, none for a click shorter than a tick, and never out
    // of -10000..0, even from a level off the grid.
    void volumeSteps_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("end");
        QTest::newRow("ten steps down") << false << 0 << 10 << -1000;
        QTest::newRow("down stops at silence") << false << -9800 << 5 << -10000;
        QTest::newRow("up at full does nothing") << true << 0 << 3 << 0;
        QTest::newRow("up from silence") << true << -10000 << 2 << -9800;
        QTest::newRow("short click changes nothing") << false << -500 << 0 << -500;
        QTest::newRow("off the grid, up") << true << -50 << 3 << 0;
        QTest::newRow("off the grid, down") << false << -9950 << 3 << -10000;
        QTest::newRow("reported above full") << false << 40 << 1 << -60;
    }

    void volumeSteps()
    {
        QFETCH(bool, up);
        QFETCH(int, start);
        QFETCH(int, ticks);
        QFETCH(int, end);
        Mahaia& bar = Form<Mahaia>();
        ImageButton* button = up ? bar.Imagora : bar.Imabera;
        player->volume = start;
        QTest::mousePress(button, Qt::LeftButton);
        QVERIFY((up ? bar.timigora : bar.Timibera)->isActive());
        for (int tick = 0; tick < ticks; ++tick)
            up ? bar.timigora_Timer() : bar.Timibera_Timer();
        QTest::mouseRelease(button, Qt::LeftButton);
        QVERIFY(!(up ? bar.timigora : bar.Timibera)->isActive());
        QCOMPARE(player->volume, end);
    }

    // Minimising hides every window (the browser made again if it was destroyed) and shows the
    // tray icon; without a tray nothing hides. Of the tray's messages only the double click
    // brings the bar back (topmost) and only the right button's release opens the menu; the
    // menu's first item brings it back too. Either way only the bar comes back.
    void tray_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<int>("code"); // the tray's message, or -1 for the menu's first item
        QTest::addColumn<bool>("restores");
        QTest::newRow("no tray") << false << 0 << false;
        QTest::newRow("move") << true << 0x200 << false;
        QTest::newRow("left press") << true << 0x201 << false;
        QTest::newRow("left release") << true << 0x202 << false;
        QTest::newRow("left double click") << true << 0x203 << true;
        QTest::newRow("right press") << true << 0x204 << false;
        QTest::newRow("right release: menu") << true << 0x205 << false;
        QTest::newRow("right double click") << true << 0x206 << false;
        QTest::newRow("menu's first item") << true << -1 << true;
    }

    void tray()
    {
        QFETCH(bool, available);
        QFETCH(int, code);
        QFETCH(bool, restores);
        Mahaia& bar = showAll();
        WindowTest::answers().tray = (available);
        WindowRegistry::instance().unload<artxiboak>();
        QTest::mouseClick(bar.Imabehe, Qt::MiddleButton);
        const QString inTray = available ? u"---- T"_s : u"Mz-E -"_s;
        QCOMPARE(shown(), inTray);
        QCOMPARE(topmost(bar), !available);
        QCOMPARE(bar.tray->tip(), available ? u"IxoMP3"_s : QString());
        code < 0 ? bar.menu_Click(0) : emit bar.tray->Notify(code);
        QCOMPARE(shown(), restores ? u"M--- -"_s : inTray);
        QCOMPARE(bar.menua->isVisible(), code == 0x205);
        QCOMPARE(topmost(bar), restores || !available);
        bar.menua->hide();
    }

    // The menu runs the buttons' commands on the bar in the tray, which stays there; the
    // separator and unknown items do nothing.
    void menuDrivesTheHiddenBar()
    {
        Mahaia& bar = showAll();
        WindowTest::answers().tray = (true);
        Form<zerrenda>().lista->addItems({u"/m/1.mp3"_s, u"/m/2.mp3"_s, u"/m/3.mp3"_s});
        bar.Timi_Timer();
        bar.Imabehe_MouseUp();
        for (int index : {2, 2, 6})
            bar.menu_Click(index);
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("2/3"));
        for (int index : {5, 4, 3, 1, 7, -1})
            bar.menu_Click(index);
        QCOMPARE(player->calls, (QStringList{u"Open(/m/2.mp3)"_s, u"Pause"_s, u"Stop"_s}));
        QCOMPARE(shown(), QStringLiteral("---- T"));
    }

    // The exit button and the window manager's close ask about an unsaved list, and the
    // program ends only when the list was saved or the user said No.
    void exit_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QString>("save"); // what the save dialog gives
        QTest::addColumn<bool>("byClose");
        QTest::addColumn<bool>("ends");
        const auto row = [](const char* name, bool unsaved, int reply, const char* save,
                            bool byClose, bool ends) {
            QTest::newRow(name) << unsaved << reply << QString::fromUtf8(save) << byClose << ends;
        };
        row("nothing unsaved", false, 0, "", false, true);
        row("cancel", true, MsgBox::Cancel, "", false, false);
        row("close, cancel", true, MsgBox::Cancel, "", true, false);
        row("no", true, MsgBox::No, "", false, true);
        row("yes, saved", true, MsgBox::Yes, "file", false, true);
        row("close, yes, saved", true, MsgBox::Yes, "file", true, true);
        row("yes, save cancelled", true, MsgBox::Yes, "", false, false);
        row("yes, save failed", true, MsgBox::Yes, "folder", false, false);
    }

    void exit()
    {
        QFETCH(bool, unsaved);
        QFETCH(int, reply);
        QFETCH(QString, save);
        QFETCH(bool, byClose);
        QFETCH(bool, ends);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        int endedWith = -1;
        WindowTest::answers().programEnd = ([&](int status) { endedWith = status; });
        answer(reply);
        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItems({u"/m/a.mp3"_s, u"/m/b.mp3"_s});
        playlist.Imagord->setVisible(unsaved);
        const QString list = folder.filePath(QStringLiteral("list.m3u"));
        WindowTest::answers().dialog = ([&](const CommonDialog&, CommonDialog::Kind) {
            return save == QStringLiteral("file") ? list
                   : save.isEmpty()               ? QString()
                                                  : folder.path();
        });
        Mahaia& bar = Form<Mahaia>();
        bar.show();
        byClose ? void(bar.close()) : QTest::mouseClick(bar.Imairte, Qt::RightButton);
        QCOMPARE(endedWith, ends ? 0 : -1);
        QCOMPARE(topmost(bar), !ends);
        QCOMPARE(bar.isVisible(), true);
        const bool failed = save == QStringLiteral("folder");
        QCOMPARE(questions.size(), unsaved ? 1 + int(failed) : 0);
        if (unsaved)
            QCOMPARE(questions.constFirst(),
                     QStringLiteral("Gorde nahi duzu irten aurretik zerrenda hau?|35|Irten..."));
        if (failed)
            QVERIFY(questions.at(1).endsWith(QStringLiteral("|16|Okerra")));
        QCOMPARE(playlist.Imagord->isHidden(), !unsaved || QFile::exists(list));
        QCOMPARE(QFile(list).size(), save == QStringLiteral("file") ? 20 : 0);
    }

    // Closing the playlist from the window manager only hides it.
    void closingAWindowHidesIt()
    {
        zerrenda& playlist = Form<zerrenda>();
        playlist.show();
        QVERIFY(!playlist.close());
        QVERIFY(playlist.isHidden());
        QVERIFY(WindowRegistry::instance().isLoaded<zerrenda>());
    }
};

QTEST_MAIN(tst_Mahaia)
#include "tst_Mahaia.moc"
