// Broken and unusual songs played from the playlist with the real player on SDL's disk driver:
// nothing crashes or hangs, a song that cannot be played is passed over without cutting the end
// of the song before it, and one that breaks off plays what it holds and hands over like any.
#include "playback/MediaComponent.h"
#include "support/BrokenSongs.h"
#include "support/DiskAudio.h"
#include "support/ListPlay.h"
#include "support/WindowTest.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(BrokenSongs::Entry)

class tst_brokensongs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<BrokenSongs::Entry> m_entries;
    SongFactory m_songs;
    const SongFactory::Song m_goodSong{44100, 2, 0.3, false, true, 660.0};
    DiskAudio m_disk;

private slots:
    void initTestCase()
    {
        BrokenSongs maker;
        m_entries = maker.make(m_dir.path());
        QVERIFY2(!m_entries.isEmpty(), qPrintable(maker.error()));
    }

    void cleanup() { WindowTest::reset(); }

    void playedFromTheList_data()
    {
        QTest::addColumn<BrokenSongs::Entry>("entry");
        for (const BrokenSongs::Entry& entry : std::as_const(m_entries))
            QTest::newRow(qPrintable(entry.name)) << entry;
    }

    // The broken song, a good one, the broken one again, and play pressed once. Guards a failed
    // open that hangs, is reported from within Open or leaves the player Playing; the good
    // song's tail cut before an unplayable one; and a damaged song's length.
    void playedFromTheList()
    {
        QFETCH(BrokenSongs::Entry, entry);
        if (!entry.skip.isEmpty())
            QSKIP(qPrintable(entry.skip));
        const QString good = m_songs.song(m_goodSong);
        QVERIFY2(!good.isEmpty(), qPrintable(m_songs.error()));
        const bool unplayable = entry.maxSeconds == 0.0;
        // At twice real time the good song's end is still queued when the entry after it is
        // opened; with no delay the disk would have taken it all by then.
        DiskAudio::setDelay(unplayable ? 46 : 0);
        MediaComponent& player = ListPlay::start({entry.path, good, entry.path});
        QSignalSpy ended(&player, &MediaComponent::SongEnded);
        QCOMPARE(player.PlayState(), int(MediaComponent::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), int(MediaComponent::Stopped), 60000);
        QCOMPARE(player.CurrentFile(), entry.path);
        QCOMPARE(ended.count(), 3);
        QCOMPARE(ListPlay::counter(), u"3/3"_s);
        const double heard = player.Position();
        QVERIFY2(heard >= entry.minSeconds && heard <= entry.maxSeconds,
                 qPrintable(u"%1 s of it heard, duration %2"_s.arg(heard).arg(player.Duration())));
        const auto shortOfGood = [&] {
            return SongFactory::seconds(m_goodSong) * 44100 - double(m_disk.heard().frames);
        };
        if (unplayable)
            QTRY_VERIFY2_WITH_TIMEOUT(std::abs(shortOfGood()) <= 0.002 * 44100,
                                      qPrintable(u"%1 frames short"_s.arg(shortOfGood())), 10000);
    }
};

QTEST_MAIN(tst_brokensongs)
#include "tst_brokensongs.moc"
