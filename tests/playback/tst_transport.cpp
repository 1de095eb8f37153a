// The bar's transport commands, the end-of-song chain, the pause blink and the playback
// monitor, against a player whose states the test sets.
#include "frame/ImageButton.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

QString song(int number)
{
    return QStringLiteral("/music/song%1.mp3").arg(number);
}

} // namespace

class tst_transport : public QObject {
    Q_OBJECT

    ScriptedMedia* player = nullptr;

    Mahaia& bar() { return Form<Mahaia>(); }

    void fill(int count)
    {
        for (int number = 1; number <= count; ++number)
            Form<zerrenda>().lista->addItem(song(number));
    }

    void run(const QString& command)
    {
        const std::map<QString, std::function<void()>> buttons = {
            {QStringLiteral("play"), [this] { bar().Imahasi_MouseUp(); }},
            {QStringLiteral("pause"), [this] { bar().Imapaus_MouseUp(); }},
            {QStringLiteral("stop"), [this] { bar().Imastop_MouseUp(); }},
            {QStringLiteral("previous"), [this] { bar().Imaatze_MouseUp(); }},
            {QStringLiteral("next"), [this] { bar().Imaaurr_MouseUp(); }},
            {QStringLiteral("ended"), [this] { emit player->SongEnded(0); }},
        };
        buttons.at(command)();
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

    // What each button does in each state, and the player's end of song, after which the list
    // moves on from the counter, not from the file that ended.
    void commands_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("counterAfter");
        QTest::addColumn<QString>("calls");
        const auto row = [](const QString& name, const char* counter, int count, int state,
                            const char* command, const char* after, const char* calls) {
            QTest::newRow(qPrintable(name))
                << QString::fromUtf8(counter) << count << state << QString::fromUtf8(command)
                << QString::fromUtf8(after) << QString::fromUtf8(calls);
        };
        for (int state : {2, 1, 0}) {
            const QString in = u" in state "_s + QString::number(state);
            row(u"play restarts"_s + in, "3/7", 7, state, "play", "3/7", "o3");
            row(u"stop"_s + in, "3/7", 7, state, "stop", "3/7", "s");
            row(u"previous at the first"_s + in, "1/7", 7, state, "previous", "1/7", "");
            row(u"next at the last"_s + in, "7/7", 7, state, "next", "7/7", "");
        }
        row(u"pause while playing"_s, "3/7", 7, 2, "pause", "3/7", "z");
        row(u"resume while paused"_s, "3/7", 7, 1, "pause", "3/7", "p");
        row(u"pause while stopped"_s, "3/7", 7, 0, "pause", "3/7", "");
        row(u"previous while playing opens"_s, "2/7", 7, 2, "previous", "1/7", "o1");
        row(u"next while playing opens"_s, "3/7", 7, 2, "next", "4/7", "o4");
        row(u"previous while paused only counts"_s, "3/7", 7, 1, "previous", "2/7", "");
        row(u"next while stopped only counts"_s, "3/7", 7, 0, "next", "4/7", "");
        row(u"play with an empty list"_s, "0/0", 0, 0, "play", "0/0", "");
        row(u"play at 0/0 opens entry -1, which is empty"_s, "0/0", 3, 0, "play", "0/0", "o");
        row(u"next at 0/0 while playing opens the first"_s, "0/0", 3, 2, "next", "1/3", "o1");
        row(u"play above the count opens nothing real"_s, "5/3", 3, 0, "play", "5/3", "o");
        row(u"next above the count does nothing"_s, "5/3", 3, 2, "next", "5/3", "");
        row(u"middle song ended"_s, "2/5", 5, 2, "ended", "3/5", "o3");
        row(u"last song ended"_s, "5/5", 5, 2, "ended", "5/5", "");
        row(u"only song ended"_s, "1/1", 1, 2, "ended", "1/1", "");
        row(u"ended above the count"_s, "6/4", 4, 2, "ended", "6/4", "");
    }

    void commands()
    {
        QFETCH(QString, counter);
        QFETCH(int, count);
        QFETCH(int, state);
        QFETCH(QString, command);
        QFETCH(QString, counterAfter);
        QFETCH(QString, calls);
        fill(count);
        bar().Lblabe->setText(counter);
        bar().Lblden->setText(u"0:1/0:2"_s);
        player->state = state;
        run(command);
        QCOMPARE(shortCalls(), calls);
        QCOMPARE(bar().Lblabe->text(), counterAfter);
        QCOMPARE(bar().Lblden->text().isEmpty(), command == u"stop"_s);
    }

    // Paused at 3/7, next moves the counter only; resumed, the third song ends and the chain
    // goes on from the counter, so the fourth is skipped.
    void nextWhilePausedSkipsOneSong()
    {
        fill(7);
        bar().Lblabe->setText(u"3/7"_s);
        player->Open(song(3));
        player->Pause();
        player->calls.clear();
        bar().Imaaurr_MouseUp();
        QCOMPARE(bar().Lblabe->text(), u"4/7"_s);
        bar().Imapaus_MouseUp();
        QCOMPARE(player->file, song(3));
        emit player->SongEnded(0);
        QCOMPARE(bar().Lblabe->text(), u"5/7"_s);
        QCOMPARE(shortCalls(), u"po5"_s);
    }

    // While paused the monitor rests and the open file's title blinks; resuming swaps back.
    void pauseSwitchesMonitorAndBlink()
    {
        fill(7);
        bar().Lblabe->setText(u"3/7"_s);
        player->Open(song(3));
        bar().Lblabe->setText(u"4/7"_s);
        player->Pause();
        QVERIFY(Form<extrak>().Timi2->isActive());
        QVERIFY(!bar().Timi->isActive());
        QStringList titles;
        for (int tick = 0; tick < 3; ++tick) {
            Form<extrak>().Timi2_Timer();
            titles << bar().Lblinfo->text();
        }
        QCOMPARE(titles, (QStringList{QString(), u"song3"_s, QString()}));
        player->Play();
        QVERIFY(!Form<extrak>().Timi2->isActive());
        QVERIFY(bar().Timi->isActive());
        bar().Timi_Timer();
        QCOMPARE(bar().Lblinfo->text(), u"song4"_s);
    }

    // The monitor's tick: counter, title, time and volume as the list and the player stand.
    void monitor_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("volume");
        QTest::addColumn<QString>("shown"); // counter, title, time and volume, joined by '|'
        const auto row = [](const char* name, int count, const char* counter, int state, int volume,
                            const char* shown) {
            QTest::newRow(name) << count << QString::fromUtf8(counter) << state << volume
                                << QString::fromUtf8(shown);
        };
        row("empty list", 0, "3/7", 2, 0, "0/0|Ez dago abestirik...||% 100");
        row("songs just added", 4, "0/0", 0, -2500, "1/4|old|old|% 75");
        row("playing", 4, "2/4", 2, -10000, "2/4|song2|1:5/3:0|% 0");
        row("stopped", 4, "2/4", 0, -150, "2/4|song2||% 99");
        row("paused state read by a tick", 4, "2/4", 1, 0, "2/4|song2||% 100");
        row("count follows the list", 4, "2/9", 0, 0, "2/4|song2||% 100");
        row("counter left above the count", 3, "5/3", 2, 0, "5/3||1:5/3:0|% 100");
    }

    void monitor()
    {
        QFETCH(int, count);
        QFETCH(QString, counter);
        QFETCH(int, state);
        QFETCH(int, volume);
        QFETCH(QString, shown);
        fill(count);
        bar().Lblabe->setText(counter);
        bar().Lblinfo->setText(u"old"_s);
        bar().Lblden->setText(u"old"_s);
        player->state = state;
        player->volume = volume;
        player->position = 65.2;
        player->duration = 179.5;
        bar().Timi_Timer();
        const QStringList labels = {bar().Lblabe->text(), bar().Lblinfo->text(),
                                    bar().Lblden->text(), bar().Lblahot->text()};
        QCOMPARE(labels.join(u'|'), shown);
    }

    // Emptying the list closes the playing file within one tick; with nothing open the tick
    // asks the player for nothing.
    void emptyListClosesTheFileOnce()
    {
        player->Open(song(1));
        player->calls.clear();
        bar().Timi_Timer();
        bar().Timi_Timer();
        QCOMPARE(player->calls, QStringList{u"Close"_s});
        QCOMPARE(player->PlayState(), int(ScriptedMedia::Stopped));
    }
};

QTEST_MAIN(tst_transport)
#include "tst_transport.moc"
