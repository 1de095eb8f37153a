// How the bar writes times and titles and reads its track counter: a wrong rounding, a lost
// character or a misread counter shows on the bar at once.
#include "playback/TrackText.h"

#include <QTest>
#include <cmath>

class tst_TrackText : public QObject {
    Q_OBJECT

private slots:
    void formatTime()
    {
        const std::pair<double, const char*> rows[] = {
            {0.0, "0:0"},   {65.2, "1:5"}, {600.0, "10:0"},  {59.5, "1:0"}, // halves to even
            {58.5, "0:58"}, {0.49, "0:0"}, {3725.0, "62:5"}, {-3.0, "0:0"}, {std::nan(""), "0:0"}};
        for (const auto& [seconds, text] : rows)
            QCOMPARE(TrackText::FormatTime(seconds), QString::fromUtf8(text));
    }

    // The file part less its last four characters, whatever they are; nothing without a folder.
    void titleFromPath()
    {
        const std::pair<const char*, const char*> rows[] = {{"/music/song.mp3", "song"},
                                                            {"/music/song.wave", "song."},
                                                            {"/music/.mp3", ""},
                                                            {"/music/a.mp3", "a"},
                                                            {"song.mp3", ""},
                                                            {"/music/", ""},
                                                            {"/music/abc", "abc"},
                                                            {"//x.mp3", "x"},
                                                            {"/m/Gure Ñañarro.mp3", "Gure Ñañarro"},
                                                            {"", ""}};
        for (const auto& [path, title] : rows)
            QCOMPARE(TrackText::TitleFromPath(QString::fromUtf8(path)), QString::fromUtf8(title));
        // A byte that is not UTF-8, kept in the path as U+DC00 + byte, shows as U+FFFD.
        QCOMPARE(TrackText::TitleFromPath(QStringLiteral("/m/caf") + QChar(0xDCE9) +
                                          QStringLiteral(" latin1.mp3")),
                 QStringLiteral("caf\uFFFD latin1"));
    }

    // The number before the first slash, as the bar's counter is read back.
    void trackNumber()
    {
        const std::pair<const char*, int> rows[] = {{"3/12", 3}, {"0/0", 0},   {"5/3", 5},
                                                    {"/7", 0},   {"12", 0},    {"4/5/6", 4},
                                                    {"ab/3", 0}, {"-2/5", -2}, {" 7/9", 7}};
        for (const auto& [counter, track] : rows)
            QCOMPARE(TrackText::leadingNumber(TrackText::counterPrefix(QString::fromUtf8(counter))),
                     track);
    }
};

QTEST_APPLESS_MAIN(tst_TrackText)
#include "tst_TrackText.moc"
