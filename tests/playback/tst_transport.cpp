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
        };
        buttons.at(command)();
    }

private slots:
    void init()
    {
        player = new ScriptedMedia;
        Form<extrak>().replaceMedi(player);
    }

    void cleanup() { WindowTest::reset(); }

    void commands_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("counterAfter");
        QTest::addColumn<QStringList>("calls");
        const QStringList none;
        const QString open3 = QStringLiteral("Open(") + song(3) + QLatin1Char(')');
        for (int state : {2, 1, 0}) {
            const QByteArray s = QByteArray::number(state);
            QTest::addRow("play while %s restarts", s.data()) << "3/7" << 7 << state << "play"
                                                              << "3/7" << QStringList{open3};
            QTest::addRow("stop while %s", s.data())
                << "3/7" << 7 << state << "stop"
                << "3/7" << QStringList{QStringLiteral("Stop")};
            QTest::addRow("previous at the first while %s", s.data())
                << "1/7" << 7 << state << "previous"
                << "1/7" << none;
            QTest::addRow("next at the last while %s", s.data()) << "7/7" << 7 << state << "next"
                                                                 << "7/7" << none;
        }
        QTest::newRow("pause while playing") << "3/7" << 7 << 2 << "pause"
                                             << "3/7" << QStringList{QStringLiteral("Pause")};
        QTest::newRow("resume while paused") << "3/7" << 7 << 1 << "pause"
                                             << "3/7" << QStringList{QStringLiteral("Play")};
        QTest::newRow("pause while stopped") << "3/7" << 7 << 0 << "pause"
                                             << "3/7" << none;
        QTest::newRow("previous while playing opens")
            << "2/7" << 7 << 2 << "previous"
            << "1/7" << QStringList{QStringLiteral("Open(") + song(1) + QLatin1Char(')')};
        QTest::newRow("next while playing opens")
            << "3/7" << 7 << 2 << "next"
            << "4/7" << QStringList{QStringLiteral("Open(") + song(4) + QLatin1Char(')')};
        QTest::newRow("previous while paused only counts") << "3/7" << 7 << 1 << "previous"
                                                           << "2/7" << none;
        QTest::newRow("next while stopped only counts") << "3/7" << 7 << 0 << "next"
                                                        << "4/7" << none;
        QTest::newRow("play with an empty list") << "0/0" << 0 << 0 << "play"
                                                 << "0/0" << none;
        QTest::newRow("play at 0/0 opens entry -1, which is empty")
            << "0/0" << 3 << 0 << "play"
            << "0/0" << QStringList{QStringLiteral("Open()")};
        QTest::newRow("next at 0/0 while playing opens the first")
            << "0/0" << 3 << 2 << "next"
            << "1/3" << QStringList{QStringLiteral("Open(") + song(1) + QLatin1Char(')')};
        QTest::newRow("play above the count opens nothing real")
            << "5/3" << 3 << 0 << "play"
            << "5/3" << QStringList{QStringLiteral("Open()")};
        QTest::newRow("next above the count does nothing") << "5/3" << 3 << 2 << "next"
                                                           << "5/3" << none;
    }

    void commands()
    {
        QFETCH(QString, counter);
        QFETCH(int, count);
        QFETCH(int, state);
        QFETCH(QString, command);
        QFETCH(QString, counterAfter);
        QFETCH(QStringList, calls);
        fill(count);
        bar().Lblabe->setText(counter);
        bar().Lblden->setText(QStringLiteral("0:1/0:2"));
        player->state = state;
        run(command);
        QCOMPARE(player->calls, calls);
        QCOMPARE(bar().Lblabe->text(), counterAfter);
        QCOMPARE(bar().Lblden->text().isEmpty(), command == QStringLiteral("stop"));
    }

    void songEnded_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("counterAfter");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("middle song")
            << "2/5" << 5 << "3/5"
            << QStringList{QStringLiteral("Open(") + song(3) + QLatin1Char(')')};
        QTest::newRow("last song") << "5/5" << 5 << "5/5" << QStringList();
        QTest::newRow("only song") << "1/1" << 1 << "1/1" << QStringList();
        QTest::newRow("counter above the count") << "6/4" << 4 << "6/4" << QStringList();
    }

    void songEnded()
    {
        QFETCH(QString, counter);
        QFETCH(int, count);
        QFETCH(QString, counterAfter);
        QFETCH(QStringList, calls);
        fill(count);
        bar().Lblabe->setText(counter);
        emit player->SongEnded(0);
        QCOMPARE(bar().Lblabe->text(), counterAfter);
        QCOMPARE(player->calls, calls);
    }

    // Paused at 3/7, next moves the counter only; resumed, the third song ends and the chain
    // goes on from the counter, so the fourth is skipped.
    void nextWhilePausedSkipsOneSong()
    {
        fill(7);
        bar().Lblabe->setText(QStringLiteral("3/7"));
        player->Open(song(3));
        player->Pause();
        player->calls.clear();
        bar().Imaaurr_MouseUp();
        QCOMPARE(bar().Lblabe->text(), QStringLiteral("4/7"));
        bar().Imapaus_MouseUp();
        QCOMPARE(player->file, song(3));
        emit player->SongEnded(0);
        QCOMPARE(bar().Lblabe->text(), QStringLiteral("5/7"));
        QCOMPARE(player->calls,
                 (QStringList{QStringLiteral("Play"),
                              QStringLiteral("Open(") + song(5) + QLatin1Char(')')}));
    }

    // While paused the monitor rests and the open file's title blinks; resuming swaps back.
    void pauseSwitchesMonitorAndBlink()
    {
        fill(7);
        bar().Lblabe->setText(QStringLiteral("3/7"));
        player->Open(song(3));
        bar().Timi_Timer();
        QCOMPARE(bar().Lblinfo->text(), QStringLiteral("song3"));
        bar().Lblabe->setText(QStringLiteral("4/7"));
        player->Pause();
        QTimer* blink = Form<extrak>().Timi2;
        QVERIFY(blink->isActive());
        QVERIFY(!bar().Timi->isActive());
        Form<extrak>().Timi2_Timer();
        QCOMPARE(bar().Lblinfo->text(), QString());
        Form<extrak>().Timi2_Timer();
        QCOMPARE(bar().Lblinfo->text(), QStringLiteral("song3"));
        player->Play();
        QVERIFY(!blink->isActive());
        QVERIFY(bar().Timi->isActive());
        bar().Timi_Timer();
        QCOMPARE(bar().Lblinfo->text(), QStringLiteral("song4"));
    }

    void monitor_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("counterAfter");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("empty list") << 0 << "3/7" << 2 << "0/0"
                                    << "Ez dago abestirik..."
                                    << "";
        QTest::newRow("songs just added") << 4 << "0/0" << 0 << "1/4"
                                          << "old"
                                          << "old";
        QTest::newRow("playing") << 4 << "2/4" << 2 << "2/4"
                                 << "song2"
                                 << "1:5/3:0";
        QTest::newRow("stopped") << 4 << "2/4" << 0 << "2/4"
                                 << "song2"
                                 << "";
        QTest::newRow("paused state read by a tick") << 4 << "2/4" << 1 << "2/4"
                                                     << "song2"
                                                     << "";
        QTest::newRow("count follows the list") << 4 << "2/9" << 0 << "2/4"
                                                << "song2"
                                                << "";
        QTest::newRow("counter left above the count") << 3 << "5/3" << 2 << "5/3"
                                                      << ""
                                                      << "1:5/3:0";
    }

    void monitor()
    {
        QFETCH(int, count);
        QFETCH(QString, counter);
        QFETCH(int, state);
        QFETCH(QString, counterAfter);
        QFETCH(QString, title);
        QFETCH(QString, time);
        fill(count);
        bar().Lblabe->setText(counter);
        bar().Lblinfo->setText(QStringLiteral("old"));
        bar().Lblden->setText(QStringLiteral("old"));
        player->state = state;
        player->position = 65.2;
        player->duration = 179.5;
        bar().Timi_Timer();
        QCOMPARE(bar().Lblabe->text(), counterAfter);
        QCOMPARE(bar().Lblinfo->text(), title);
        QCOMPARE(bar().Lblden->text(), time);
    }

    // Emptying the list closes the playing file within one tick; with nothing open the tick
    // asks the player for nothing.
    void emptyListClosesTheFileOnce()
    {
        player->Open(song(1));
        player->calls.clear();
        bar().Timi_Timer();
        QCOMPARE(player->calls, QStringList{QStringLiteral("Close")});
        QCOMPARE(player->PlayState(), int(ScriptedMedia::Stopped));
        bar().Timi_Timer();
        QCOMPARE(player->calls, QStringList{QStringLiteral("Close")});
    }

    void volumeDisplay_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<QString>("text");
        QTest::newRow("full") << 0 << "% 100";
        QTest::newRow("quarter down") << -2500 << "% 75";
        QTest::newRow("silent") << -10000 << "% 0";
        QTest::newRow("truncates toward zero") << -150 << "% 99";
    }

    void volumeDisplay()
    {
        QFETCH(int, volume);
        QFETCH(QString, text);
        player->volume = volume;
        bar().Timi_Timer();
        QCOMPARE(bar().Lblahot->text(), text);
    }
};

QTEST_MAIN(tst_transport)
#include "tst_transport.moc"
