// How the bar writes times and titles and reads its track counter.
#include "playback/TrackText.h"

#include <QTest>

class tst_TrackText : public QObject {
    Q_OBJECT

private slots:
    void formatTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0:0";
        QTest::newRow("no leading zeros") << 65.2 << "1:5";
        QTest::newRow("ten minutes") << 600.0 << "10:0";
        QTest::newRow("half up to even") << 59.5 << "1:0";
        QTest::newRow("half down to even") << 58.5 << "0:58";
        QTest::newRow("just under a half") << 0.49 << "0:0";
        QTest::newRow("an hour and more") << 3725.0 << "62:5";
        QTest::newRow("negative reads as zero") << -3.0 << "0:0";
        QTest::newRow("not a number reads as zero") << std::nan("") << "0:0";
    }

    void formatTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(TrackText::FormatTime(seconds), text);
    }

    void titleFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("song") << "/music/song.mp3"
                              << "song";
        QTest::newRow("any four characters go") << "/music/song.wave"
                                                << "song.";
        QTest::newRow("only the extension") << "/music/.mp3"
                                            << "";
        QTest::newRow("one letter") << "/music/a.mp3"
                                    << "a";
        QTest::newRow("no separator") << "song.mp3"
                                      << "";
        QTest::newRow("ends in a separator") << "/music/"
                                             << "";
        QTest::newRow("short file part shown whole") << "/music/abc"
                                                     << "abc";
        QTest::newRow("root folder twice") << "//x.mp3"
                                           << "x";
        QTest::newRow("spaces and letters") << "/m/Gure Ñañarro.mp3"
                                            << "Gure Ñañarro";
        QTest::newRow("empty") << ""
                               << "";
        // A byte that is not UTF-8 (kept in the path as U+DC00 + byte) shows as U+FFFD.
        QTest::newRow("Latin-1 byte")
            << QStringLiteral("/m/caf") + QChar(char16_t(0xDCE9)) + QStringLiteral(" latin1.mp3")
            << QStringLiteral("caf\uFFFD latin1");
    }

    void titleFromPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(TrackText::TitleFromPath(path), title);
    }

    void trackNumber_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("track");
        QTest::newRow("usual") << "3/12"
                               << "3" << 3;
        QTest::newRow("empty list") << "0/0"
                                    << "0" << 0;
        QTest::newRow("above the count") << "5/3"
                                         << "5" << 5;
        QTest::newRow("nothing before the slash") << "/7"
                                                  << "" << 0;
        QTest::newRow("no slash at all") << "12"
                                         << "" << 0;
        QTest::newRow("only the first slash counts") << "4/5/6"
                                                     << "4" << 4;
        QTest::newRow("words read as nothing") << "ab/3"
                                               << "ab" << 0;
    }

    void trackNumber()
    {
        QFETCH(QString, counter);
        QFETCH(QString, prefix);
        QFETCH(int, track);
        QCOMPARE(TrackText::counterPrefix(counter), prefix);
        QCOMPARE(TrackText::leadingNumber(TrackText::counterPrefix(counter)), track);
    }
};

QTEST_APPLESS_MAIN(tst_TrackText)
#include "tst_TrackText.moc"
