// Broken and unusual songs played from the playlist with the real player on SDL's disk driver:
// nothing crashes or hangs, a song that cannot be played leaves playback stopped on it, and one
// that breaks off plays what it holds and hands over to the next song like any other.
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Outcome = BrokenSongs::Outcome;

Q_DECLARE_METATYPE(BrokenSongs::Entry)

namespace {

constexpr int Timeout = 60000;

} // namespace

class tst_brokensongs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<BrokenSongs::Entry> m_entries;
    SongFactory m_songs;
    QString m_good;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(u"corpus"_s));
        BrokenSongs maker;
        m_entries = maker.make(m_dir.filePath(u"corpus"_s));
        QVERIFY2(!m_entries.isEmpty(), qPrintable(maker.error()));
        m_good = m_songs.song(SongFactory::Song{44100, 2, 0.3, false, true, 660.0});
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
    // on past a song that ends; where it ends last, Position tells how much of it was heard.
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
        bar.Timi_Timer();
        bar.Imahasi_MouseUp();
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), Timeout);
        QCOMPARE(player.CurrentFile(), entry.path);
        if (entry.outcome == Outcome::Unplayable) {
            QCOMPARE(ended.count(), 0);
            QCOMPARE(bar.Lblabe->text(), u"1/3"_s);
            QCOMPARE(player.Position(), 0.0);
            return;
        }
        QCOMPARE(ended.count(), 3);
        QCOMPARE(bar.Lblabe->text(), u"3/3"_s);
        const double heard = player.Position();
        QVERIFY2(heard >= entry.minSeconds && heard <= entry.maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(heard).arg(player.Duration())));
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"
