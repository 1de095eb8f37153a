// The bar against a scripted player: commands, monitor, placement, tray and exit.
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/TrayIcon.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/TrackText.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/Row.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString song(int number)
{
    return u"/music/song%1.mp3"_s.arg(number);
}

bool topmost(const QWidget& window)
{
    return window.windowHandle() != nullptr &&
           window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

// Which of the bar, the playlist, the browser and the about window show, and whether the tray
// holds the icon: "MzaE T" with "-" for what is hidden or absent.
QString shown()
{
    QString text = u"MzaE T"_s;
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

    Mahaia& bar() { return Form<Mahaia>(); }

    void fill(int count)
    {
        for (int number = 1; number <= count; ++number)
            Form<zerrenda>().lista->addItem(song(number));
    }

    // The player's calls in short: "o3" opened song 3, "o" an empty path, "p" play, "z"
    // pause, "s" stop.
    QString shortCalls() const
    {
        QString text;
        for (const QString& call : player->calls)
            text += call == u"Open()"_s           ? u"o"_s
                    : call.startsWith(u"Open("_s) ? u'o' + call.mid(16).chopped(5)
                    : call == u"Pause"_s          ? u"z"_s
                                                  : call.left(1).toLower();
        return text;
    }

private slots:
    void init()
    {
        WindowTest::answers().media = [this](QObject* host) {
            return player = new ScriptedMedia(host);
        };
        Form<extrak>();
    }

    void cleanup() { WindowTest::reset(); }

    // Guards the list's ends, commands run in the wrong state and the menu's items. Fields:
    // counter, songs, player state (0 stopped, 1 paused, 2 playing), command, counter after,
    // the player's calls.
    void commands_data()
    {
        Row::columns();
        Row::add("play", "3/7|7|0|play|3/7|o3");
        Row::add("stop", "3/7|7|2|stop|3/7|s");
        Row::add("previous at the first", "1/7|7|2|previous|1/7|");
        Row::add("next at the last", "7/7|7|0|next|7/7|");
        Row::add("pause while playing", "3/7|7|2|pause|3/7|z");
        Row::add("resume while paused", "3/7|7|1|pause|3/7|p");
        Row::add("pause while stopped", "3/7|7|0|pause|3/7|");
        Row::add("previous while playing opens", "2/7|7|2|previous|1/7|o1");
        Row::add("next while playing opens", "3/7|7|2|next|4/7|o4");
        Row::add("previous while paused only counts", "3/7|7|1|previous|2/7|");
        Row::add("next while stopped only counts", "3/7|7|0|next|4/7|");
        Row::add("play with an empty list", "0/0|0|0|play|0/0|");
        Row::add("play at 0/0 opens entry -1, which is empty", "0/0|3|0|play|0/0|o");
        Row::add("next at 0/0 while playing opens the first", "0/0|3|2|next|1/3|o1");
        Row::add("middle song ended", "2/5|5|2|ended|3/5|o3");
        Row::add("last song ended", "5/5|5|2|ended|5/5|");
        Row::add("menu: next", "3/7|7|0|menu 2|4/7|");
        Row::add("menu: stop", "3/7|7|2|menu 3|3/7|s");
        Row::add("menu: pause", "3/7|7|2|menu 4|3/7|z");
        Row::add("menu: play", "3/7|7|0|menu 5|3/7|o3");
        Row::add("menu: previous", "3/7|7|0|menu 6|2/7|");
        Row::add("menu: separator", "3/7|7|2|menu 1|3/7|");
        Row::add("menu: unknown item", "3/7|7|2|menu 7|3/7|");
    }

    void commands()
    {
        const Row row;
        fill(row.number(1));
        bar().Lblabe->setText(row[0]);
        bar().Lblden->setText(u"0:1/0:2"_s);
        player->state = row.number(2);
        const QHash<QString, std::function<void()>> buttons{
            {u"play"_s, [this] { bar().Imahasi_MouseUp(); }},
            {u"pause"_s, [this] { bar().Imapaus_MouseUp(); }},
            {u"stop"_s, [this] { bar().Imastop_MouseUp(); }},
            {u"previous"_s, [this] { bar().Imaatze_MouseUp(); }},
            {u"next"_s, [this] { bar().Imaaurr_MouseUp(); }},
            {u"ended"_s, [this] { emit player->SongEnded(0); }},
            {u"menu"_s, [&] { bar().menu_Click(row[3].mid(5).toInt()); }}};
        buttons.value(row[3].section(u' ', 0, 0))();
        QCOMPARE(shortCalls(), row[5]);
        QCOMPARE(bar().Lblabe->text(), row[4]);
        QCOMPARE(bar().Lblden->text().isEmpty(), row[5] == u"s"_s);
    }

    // Guards the chain going on from the file that ended rather than the counter, and the
    // monitor left running while paused instead of the title's blink.
    void pauseNextAndBlink()
    {
        fill(7);
        bar().Lblabe->setText(u"3/7"_s);
        player->Open(song(3));
        player->Pause();
        player->calls.clear();
        bar().Imaaurr_MouseUp();
        QCOMPARE(bar().Lblabe->text(), u"4/7"_s);
        QVERIFY(Form<extrak>().Timi2->isActive() && !bar().Timi->isActive());
        QStringList titles;
        for (int tick = 0; tick < 3; ++tick) {
            Form<extrak>().Timi2_Timer();
            titles << bar().Lblinfo->text();
        }
        QCOMPARE(titles, (QStringList{QString(), u"song3"_s, QString()}));
        bar().Imapaus_MouseUp();
        QVERIFY(!Form<extrak>().Timi2->isActive() && bar().Timi->isActive());
        bar().Timi_Timer();
        QCOMPARE(bar().Lblinfo->text(), u"song4"_s);
        QCOMPARE(player->file, song(3));
        emit player->SongEnded(0);
        QCOMPARE(bar().Lblabe->text(), u"5/7"_s);
        QCOMPARE(shortCalls(), u"po5"_s);
    }

    // Guards a wrong counter, title, time or volume caption at the monitor's tick. Fields:
    // songs, counter, player state, volume, then the counter, title, time and volume shown.
    void monitor_data()
    {
        Row::columns();
        Row::add("empty list", "0|3/7|2|0|0/0|Ez dago abestirik...||% 100");
        Row::add("songs just added", "4|0/0|0|-2500|1/4|old|old|% 75");
        Row::add("playing", "4|2/4|2|-10000|2/4|song2|1:5/3:0|% 0");
        Row::add("paused, the count follows the list", "4|2/9|1|-150|2/4|song2||% 99");
        Row::add("counter left above the count", "3|5/3|2|0|5/3||1:5/3:0|% 100");
    }

    void monitor()
    {
        const Row row;
        fill(row.number(0));
        bar().Lblabe->setText(row[1]);
        bar().Lblinfo->setText(u"old"_s);
        bar().Lblden->setText(u"old"_s);
        player->file = song(9);
        player->state = row.number(2);
        player->volume = row.number(3);
        player->position = 65.2;
        player->duration = 179.5;
        bar().Timi_Timer();
        const QStringList labels = {bar().Lblabe->text(), bar().Lblinfo->text(),
                                    bar().Lblden->text(), bar().Lblahot->text()};
        QCOMPARE(labels, (QStringList{row[4], row[5], row[6], row[7]}));
        // Emptying the list closes the open file within one tick, and only once.
        bar().Timi_Timer();
        QCOMPARE(player->calls.join(u' '), row.number(0) == 0 ? u"Close"_s : QString());
    }

    // Guards the bar off the work area's corner and windows (one made again too) off its top.
    void placement_data()
    {
        QTest::addColumn<QRect>("workArea"); // in pixels
        QTest::newRow("panels at the left and top") << QRect(48, 30, 976, 738);
        QTest::newRow("second screen to the right") << QRect(1920, 0, 1280, 1024);
    }

    void placement()
    {
        QFETCH(QRect, workArea);
        WindowTest::answers().workArea = QRect(workArea.topLeft() * 15, workArea.size() * 15);
        QCOMPARE(bar().frameGeometry().bottomRight(), workArea.bottomRight());
        for (const FormWindow* above :
             std::initializer_list<const FormWindow*>{&Form<zerrenda>(), &Form<artxiboak>()})
            QCOMPARE(QPoint(above->Left(), above->Top() + above->Height()),
                     QPoint(bar().Left(), bar().Top()));
        bar().Move(300 * 15, 400 * 15);
        WindowRegistry::instance().unload<artxiboak>();
        QCOMPARE(Form<artxiboak>().frameGeometry().bottomLeft(), QPoint(300, 399));
    }

    // Guards the step (100 a tick, none for a short click), its limits, a key's own repeats
    // taken for its release, and a button left repeating. Fields: button, start, ticks, end,
    // held by (the mouse, a held Space, or Return pressed and released at once).
    void volumeSteps_data()
    {
        Row::columns();
        Row::add("ten steps down", "down|0|10|-1000|mouse");
        Row::add("up from silence", "up|-10000|2|-9800|mouse");
        Row::add("short click changes nothing", "down|-500|0|-500|mouse");
        Row::add("off the grid, up", "up|-50|3|0|mouse");
        Row::add("off the grid, down", "down|-9950|3|-10000|mouse");
        Row::add("reported above full", "down|40|1|-60|mouse");
        Row::add("held Space", "up|-500|2|-300|Space");
        Row::add("Return", "down|-500|0|-500|Return");
    }

    void volumeSteps()
    {
        const Row row;
        const bool up = row[0] == u"up"_s;
        ImageButton* button = up ? bar().Imagora : bar().Imabera;
        QTimer* timer = up ? bar().timigora : bar().Timibera;
        player->volume = row.number(1);
        if (row[4] == u"Return"_s) {
            QTest::keyClick(button, Qt::Key_Return);
        } else if (row[4] == u"Space"_s) {
            QTest::keyPress(button, Qt::Key_Space);
            QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, {}, QString(), true);
            QCoreApplication::sendEvent(button, &repeat);
        } else {
            QTest::mousePress(button, Qt::LeftButton);
        }
        QCOMPARE(timer->isActive(), row[4] != u"Return"_s);
        for (int tick = 0; tick < row.number(2); ++tick)
            up ? bar().timigora_Timer() : bar().Timibera_Timer();
        if (row[4] == u"Space"_s)
            QTest::keyRelease(button, Qt::Key_Space);
        else if (row[4] == u"mouse"_s)
            QTest::mouseRelease(button, Qt::LeftButton);
        QVERIFY(!timer->isActive());
        QCOMPARE(player->volume, row.number(3));
        QCOMPARE(button->pictureFile(), up ? u"gora.ico"_s : u"bera.ico"_s);
    }

    // Guards a window left up when the bar goes to the tray, the bar hidden with no tray to
    // come back from, and each tray's way back. Fields: tray kind, minimised by, Qt's reason
    // (1 context, 2 double click, 3 trigger, 4 middle; 0 the menu's first item), what follows.
    void tray_data()
    {
        Row::columns();
        Row::add("no tray", "none|button|-|nothing");
        Row::add("no tray, minimised by the desktop", "none|desktop|-|nothing");
        Row::add("XEmbed left click", "xembed|button|3|nothing");
        Row::add("XEmbed double click", "xembed|desktop|2|restore");
        Row::add("XEmbed right button", "xembed|button|1|menu");
        Row::add("menu's first item", "xembed|button|0|restore");
        Row::add("StatusNotifierItem left click", "sni|button|3|restore");
        Row::add("StatusNotifierItem context menu asked", "sni|desktop|1|menu");
        Row::add("StatusNotifierItem middle click", "sni|button|4|nothing");
    }

    void tray()
    {
        const Row row;
        const bool available = row[0] != u"none"_s;
        for (QWidget* window : std::initializer_list<QWidget*>{&Form<Mahaia>(), &Form<zerrenda>(),
                                                               &Form<artxiboak>(), &Form<Egilea>()})
            window->show();
        WindowTest::answers().tray = available;
        WindowTest::answers().trayKind =
            row[0] == u"sni"_s ? TrayIcon::Kind::StatusNotifier : TrayIcon::Kind::XEmbed;
        if (row[1] == u"button"_s) {
            WindowRegistry::instance().unload<artxiboak>();
            QTest::mouseClick(bar().Imabehe, Qt::MiddleButton);
        } else {
            bar().setWindowState(Qt::WindowMinimized);
            QCoreApplication::sendPostedEvents(&bar(), QEvent::MetaCall);
        }
        QCOMPARE(shown(), available               ? u"---- T"_s
                          : row[1] == u"button"_s ? u"Mz-E -"_s
                                                  : u"MzaE -"_s);
        QCOMPARE(topmost(bar()), !available);
        if (!available)
            return;
        auto* icon = bar().tray->findChild<QSystemTrayIcon*>();
        QVERIFY(icon != nullptr);
        QCOMPARE(icon->contextMenu(), row[0] == u"sni"_s ? bar().menua : nullptr);
        const int reason = row.number(2);
        reason == 0 ? bar().menu_Click(0)
                    : emit icon->activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(shown(), row[3] == u"restore"_s ? u"M--- -"_s : u"---- T"_s);
        QVERIFY(row[3] != u"restore"_s || !bar().isMinimized());
        QCOMPARE(topmost(bar()), row[3] == u"restore"_s);
        QCOMPARE(bar().menua->isVisible(), row[3] == u"menu"_s);
        bar().menua->hide();
    }

    // Guards an exit that drops an unsaved list. Fields: unsaved, the answer, what the save
    // dialog gives (a file, a folder or nothing), by close, ends, the styles of the messages
    // (35 the question with Yes, No and Cancel; 16 an error).
    void exit_data()
    {
        Row::columns();
        Row::add("nothing unsaved", "no|0||no|yes|");
        Row::add("cancel", "yes|2||no|no|35");
        Row::add("close, cancel", "yes|2||yes|no|35");
        Row::add("no", "yes|7||no|yes|35");
        Row::add("yes, saved", "yes|6|file|no|yes|35");
        Row::add("yes, save cancelled", "yes|6||no|no|35");
        Row::add("yes, save failed", "yes|6|folder|no|no|35 16");
    }

    void exit()
    {
        const Row row;
        const bool unsaved = row.yes(0);
        const bool ends = row.yes(4);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        int endedWith = -1;
        QStringList styles;
        WindowTest::answers().programEnd = [&](int status) { endedWith = status; };
        WindowTest::answers().message = [&](const QString&, int style, const QString&) {
            styles << QString::number(style);
            return row.number(1);
        };
        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItems({u"/m/a.mp3"_s, u"/m/b.mp3"_s});
        playlist.Imagord->setVisible(unsaved);
        const QString list = folder.filePath(u"list.m3u"_s);
        WindowTest::answers().dialog = [&](const CommonDialog&, CommonDialog::Kind) {
            return row[2] == u"file"_s ? list : row[2].isEmpty() ? QString() : folder.path();
        };
        bar().show();
        row.yes(3) ? void(bar().close()) : QTest::mouseClick(bar().Imairte, Qt::RightButton);
        QCOMPARE(endedWith, ends ? 0 : -1);
        QCOMPARE(topmost(bar()), !ends);
        QVERIFY(bar().isVisible());
        QCOMPARE(styles.join(u' '), row[5]);
        QCOMPARE(playlist.Imagord->isHidden(), !unsaved || QFile::exists(list));
        QCOMPARE(QFile(list).size(), row[2] == u"file"_s ? 20 : 0);
    }

    // Guards the rounding (halves to even), the title's cut and the counter's reading.
    void texts()
    {
        for (const QString& each :
             u"65.2=1:5|600=10:0|58.5=0:58|0.49=0:0|3725=62:5|-3=0:0"_s.split(u'|'))
            QCOMPARE(TrackText::FormatTime(each.section(u'=', 0, 0).toDouble()),
                     each.section(u'=', 1));
        QCOMPARE(TrackText::FormatTime(std::nan("")), u"0:0"_s);
        for (const QString& each :
             u"/music/song.mp3=song|/music/song.wave=song.|/music/.mp3=|song.mp3=|"
             u"/music/=|/music/abc=abc|//x.mp3=x|/m/Gure Ñañarro.mp3=Gure Ñañarro"_s.split(u'|'))
            QCOMPARE(TrackText::TitleFromPath(each.section(u'=', 0, 0)), each.section(u'=', 1));
        // A byte that is not UTF-8, kept in the path as U+DC00 + byte, shows as U+FFFD.
        QCOMPARE(TrackText::TitleFromPath(u"/m/caf"_s + QChar(0xDCE9) + u" latin1.mp3"_s),
                 u"caf\uFFFD latin1"_s);
        for (const QString& each : u"3/12=3|/7=0|12=0|4/5/6=4|ab/3=0|-2/5=-2| 7/9=7"_s.split(u'|'))
            QCOMPARE(TrackText::leadingNumber(TrackText::counterPrefix(each.section(u'=', 0, 0))),
                     each.section(u'=', 1).toInt());
    }
};

QTEST_MAIN(tst_Mahaia)
#include "tst_Mahaia.moc"
