// Broken and unusual songs played from the playlist with the real player on SDL's disk driver:
// nothing crashes or hangs, a song that cannot be played is passed over at once without cutting
// the end of the song before it, and one that breaks off plays what it holds and hands over to
// the next song like any other. A song whose name is not UTF-8 plays by its bytes.
#include "filebrowser/DirListBox.h"
#include "filebrowser/FileListBox.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/BrokenSongs.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Outcome = BrokenSongs::Outcome;

Q_DECLARE_METATYPE(BrokenSongs::Entry)

namespace {

constexpr int Timeout = 60000;
constexpr double DeviceRate = 44100.0;

// A row as its list draws it.
QString shown(const QListWidget* list, int row)
{
    const auto* delegate = qobject_cast<const QStyledItemDelegate*>(list->itemDelegate());
    return delegate == nullptr ? u"<no delegate>"_s
                               : delegate->displayText(list->item(row)->data(Qt::DisplayRole), {});
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_brokensongs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<BrokenSongs::Entry> m_entries;
    SongFactory m_songs;
    QString m_good;
    const SongFactory::Song m_goodSong{44100, 2, 0.3, false, true, 660.0};

    QString entryPath(const QString& name) const
    {
        for (const BrokenSongs::Entry& entry : m_entries)
            if (entry.name == name)
                return entry.path;
        return {};
    }

    // How far the last device output is from the whole good song, in frames with any sound.
    [[nodiscard]] double framesShortOfGood() const
    {
        const QVector<float> heard = SongFactory::readHeard(m_dir.filePath(u"heard.raw"_s));
        qsizetype frames = 0;
        for (qsizetype at = 0; at + 1 < heard.size(); at += 2)
            frames += heard.at(at) != 0.0F || heard.at(at + 1) != 0.0F ? 1 : 0;
        return SongFactory::seconds(m_goodSong) * DeviceRate - double(frames);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(u"corpus"_s));
        BrokenSongs maker;
        m_entries = maker.make(m_dir.filePath(u"corpus"_s));
        QVERIFY2(!m_entries.isEmpty(), qPrintable(maker.error()));
        m_good = m_songs.song(m_goodSong);
        QVERIFY2(!m_good.isEmpty(), qPrintable(m_songs.error()));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath(u"heard.raw"_s)));
        qputenv("SDL_DISKAUDIODELAY", "0");
    }

    void cleanup() { WindowTest::reset(); }

    void playedFromTheList_data()
    {
        QTest::addColumn<BrokenSongs::Entry>("entry");
        for (const BrokenSongs::Entry& entry : std::as_const(m_entries))
            QTest::newRow(qPrintable(entry.name)) << entry;
    }

    // The broken song, a good one, the broken one again, and play pressed once. The list goes
    // on past a song that ends or cannot be played; where it ends last, Position tells how much
    // of it was heard, and the good song is heard whole before one that cannot be played.
    void playedFromTheList()
    {
        QFETCH(BrokenSongs::Entry, entry);
        if (!entry.skip.isEmpty())
            QSKIP(qPrintable(entry.skip));
        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItems({entry.path, m_good, entry.path});
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        // At twice real time the good song's end is still queued when the entry after it is
        // opened; with no delay the disk would have taken it all by then.
        qputenv("SDL_DISKAUDIODELAY", entry.outcome == Outcome::Unplayable ? "46" : "0");
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(player.CurrentFile(), entry.path);
        QCOMPARE(ended.count(), 3);
        QCOMPARE(bar.Lblabe->text(), u"3/3"_s);
        const double heard = player.Position();
        if (entry.outcome == Outcome::Unplayable) {
            QCOMPARE(heard, 0.0);
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(framesShortOfGood()) <= 0.002 * DeviceRate,
                                      qPrintable(u"%1 frames short"_s.arg(framesShortOfGood())),
                                      10000);
            return;
        }
        QVERIFY2(heard >= entry.minSeconds && heard <= entry.maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(heard).arg(player.Duration())));
    }

    void passesWhatCannotBePlayed_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("countersAtEnds");
        QTest::addColumn<double>("lastHeard");
        const QString missing = entryPath(u"missing"_s);
        const QString folder = entryPath(u"folder named .mp3"_s);
        QTest::newRow("good, missing, folder, good")
            << QStringList{m_good, missing, folder, m_good}
            << QStringList{u"2/4"_s, u"3/4"_s, u"4/4"_s, u"4/4"_s}
            << SongFactory::seconds(m_goodSong);
        QTest::newRow("nothing playable")
            << QStringList{missing, folder, entryPath(u"random bytes"_s)}
            << QStringList{u"2/3"_s, u"3/3"_s, u"3/3"_s} << 0.0;
    }

    // Play pressed once; every entry is passed in order, and playback stops after the last.
    void passesWhatCannotBePlayed()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, countersAtEnds);
        QFETCH(double, lastHeard);
        Form<zerrenda>().lista->addItems(list);
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        QStringList counters;
        const QObject scope;
        connect(&player, &MediaComponent::SongEnded, &scope,
                [&] { counters << bar.Lblabe->text(); });
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(counters, countersAtEnds);
        QCOMPARE(player.CurrentFile(), list.last());
        QVERIFY2(std::abs(player.Position() - lastHeard) <= 0.002,
                 qPrintable(QString::number(player.Position())));
    }

    void latin1Name_data()
    {
        QTest::addColumn<bool>("fromBrowser");
        QTest::newRow("from the browser") << true;
        QTest::newRow("from a list file") << false;
    }

    // "caf\xE9 latin1.mp3" in "caf\xE9 karpeta", as copied from a Latin-1 system, reaches the
    // playlist through the browser (which lists and enters the folder) or a list file. It
    // keeps its bytes, is heard whole, shows U+FFFD for the byte in the rows and the title,
    // and the list saved again holds its bytes exactly.
    void latin1Name()
    {
        QFETCH(bool, fromBrowser);
        const QByteArray folderBytes = QFile::encodeName(m_dir.path()) + "/caf\xe9 karpeta";
        const QByteArray songBytes = folderBytes + "/caf\xe9 latin1.mp3";
        const QString name = u"caf"_s + QChar(char16_t(0xDCE9)) + u" latin1.mp3"_s;
        const QString song = m_dir.path() + u"/caf"_s + QChar(char16_t(0xDCE9)) + u" karpeta/"_s;
        QCOMPARE(mkdir(folderBytes.constData(), 0700), 0);
        // QTemporaryDir removes by names it has re-encoded, which miss these.
        const auto removeByBytes = qScopeGuard([&] {
            unlink(songBytes.constData());
            rmdir(folderBytes.constData());
        });
        const auto put = [](const QByteArray& path, const QByteArray& bytes) {
            std::FILE* file = std::fopen(path.constData(), "wb");
            return file != nullptr &&
                   std::fwrite(bytes.constData(), 1, bytes.size(), file) ==
                       std::size_t(bytes.size()) &&
                   std::fclose(file) == 0;
        };
        QVERIFY(put(songBytes, contentsOf(m_good)));
        zerrenda& playlist = Form<zerrenda>();
        QString choice = m_dir.filePath(u"latin1.m3u"_s);
        WindowTest::answers().dialog = [&](const CommonDialog&, CommonDialog::Kind) {
            return choice;
        };
        if (fromBrowser) {
            artxiboak& browser = Form<artxiboak>();
            browser.karpeta->setPath(m_dir.path());
            const QList<QListWidgetItem*> found =
                browser.karpeta->findItems(u"caf\uFFFD karpeta"_s, Qt::MatchEndsWith);
            QCOMPARE(found.size(), 1);
            emit browser.karpeta->itemActivated(found.first());
            QCOMPARE(browser.artxi->List(0), name);
            QCOMPARE(shown(browser.artxi, 0), u"caf\uFFFD latin1.mp3"_s);
            browser.artxi->item(0)->setSelected(true);
            browser.Imagehitu_MouseUp();
        } else {
            QVERIFY(put(QFile::encodeName(choice), songBytes + "\r\n"));
            QVERIFY(playlist.imairek_baziak());
        }
        QCOMPARE(playlist.List(0), song + name);
        QVERIFY(shown(playlist.lista, 0).endsWith(u"/caf\uFFFD karpeta/caf\uFFFD latin1.mp3"_s));
        Mahaia& bar = Form<Mahaia>();
        MediaComponent& player = *Form<extrak>().Medi;
        qputenv("SDL_DISKAUDIODELAY", "0");
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        bar.Timi_Timer();
        QCOMPARE(bar.Lblinfo->text(), u"caf\uFFFD latin1"_s);
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QTRY_VERIFY2_WITH_TIMEOUT(std::abs(framesShortOfGood()) <= 0.002 * DeviceRate,
                                  qPrintable(u"%1 frames short"_s.arg(framesShortOfGood())), 10000);
        choice = m_dir.filePath(u"saved.m3u"_s);
        QFile::remove(choice);
        QVERIFY(playlist.Imagord_baziak());
        QCOMPARE(contentsOf(choice), songBytes + "\r\n");
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"
