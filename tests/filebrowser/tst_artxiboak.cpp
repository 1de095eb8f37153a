#include "filebrowser/DirListBox.h"
#include "filebrowser/DriveListBox.h"
#include "filebrowser/FileListBox.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"
#include "support/Row.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_artxiboak : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_asked = 0; // message boxes shown
    QList<int> m_answers;

    artxiboak& browser() { return Form<artxiboak>(); }
    QString pathOf(const QString& name) const { return QDir::cleanPath(m_dir->filePath(name)); }
    void openFolder(const QString& name) { browser().karpeta->setPath(pathOf(name)); }
    void selectFiles(const QList<int>& rows)
    {
        for (int row : rows)
            browser().artxi->item(row)->setSelected(true);
    }

private slots:
    // Songs in mixed case among other files, one named in Latin-1 as copied from such a
    // system, a folder whose name looks like a song, and a sub-folder with a song of its own.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(u"musika/azpi"_s));
        QVERIFY(QDir(m_dir->path()).mkpath(u"musika/ez-da.mp3"_s));
        for (const char* name :
             {"c.Mp3", "a.mp3", "B.MP3", "d.txt", "e.mp3.txt", "ñu.mp3", "azpi/z.mp3"})
            QVERIFY(
                QFile(pathOf(u"musika/"_s + QString::fromUtf8(name))).open(QIODevice::WriteOnly));
        const QByteArray latin1 = QFile::encodeName(m_dir->path()) + "/musika/caf\xe9.mp3";
        QVERIFY(close(open(latin1.constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        m_asked = 0;
        WindowTest::answers().message = ([this](const QString&, int, const QString&) {
            ++m_asked;
            return m_answers.isEmpty() ? MsgBox::Cancel : m_answers.takeFirst();
        });
    }

    void cleanup()
    {
        WindowRegistry::instance().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WindowTest::answers().message = {};
    }

    void add_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("added"); // '?' the Latin-1 byte
        QTest::newRow("nothing selected") << QList<int>{} << QString();
        QTest::newRow("all, picked backwards")
            << QList<int>{4, 0, 3, 2, 1} << u"a.mp3 B.MP3 c.Mp3 caf?.mp3 ñu.mp3"_s;
    }

    // Guards the add button lost when a change of folder clears the selection; songs added
    // out of the file list's order, without the folder's separator, with a name not UTF-8
    // changed, or leaving the playlist marked saved; and the browser kept after an add.
    void add()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, added);
        Form<zerrenda>().appendItems({u"/lehena.mp3"_s});
        openFolder(u"musika"_s);
        selectFiles({0});
        openFolder(u"musika/azpi"_s);
        openFolder(u"musika"_s);
        QCOMPARE(browser().artxi->ListCount(), 5);
        selectFiles(rows);
        browser().Imagehitu_MouseUp();
        QStringList expected{u"/lehena.mp3"_s};
        for (const QString& name : added.split(u' ', Qt::SkipEmptyParts))
            expected << pathOf(u"musika/"_s + QString(name).replace(u'?', QChar(0xDCE9)));
        QStringList playlist;
        for (int row = 0; row < Form<zerrenda>().ListCount(); ++row)
            playlist << Form<zerrenda>().List(row);
        QCOMPARE(playlist, expected);
        QVERIFY(!Form<zerrenda>().Imagord->isHidden());
        QVERIFY(!WindowRegistry::instance().isLoaded<artxiboak>());
    }

    // Guards closing the browser dropping its folder or selection, a shown browser not giving
    // the dialogs the home folder to start in, and a click on the selected file, which leaves
    // the selection as it was, not offering the add button again.
    void closeReopenAndClick()
    {
        artxiboak* first = &browser();
        openFolder(u"musika"_s);
        selectFiles({1});
        browser().Imautzi_MouseUp();
        QVERIFY(browser().isHidden());
        QCOMPARE(&browser(), first);
        QCOMPARE(browser().karpeta->Path(), pathOf(u"musika"_s));
        QCOMPARE(browser().artxi->selectedRows(), QList<int>{1});
        browser().show();
        QCOMPARE(Form<zerrenda>().diago->InitDir, QDir::homePath());
        browser().Imagehitu->hide();
        QTest::mouseClick(browser().artxi->viewport(), Qt::LeftButton, {},
                          browser().artxi->visualItemRect(browser().artxi->item(1)).center());
        QVERIFY(!browser().Imagehitu->isHidden());
    }

    // On musika/azpi, a drive is chosen; one that cannot be opened is answered Retry, then
    // Cancel. Fields: the drive, the dialogs' starting folder, the drive and folder after ("~"
    // home).
    void chooseDrive_data()
    {
        Row::columns();
        Row::add("the drive it is on: keeps the folder", "musika||musika|musika/azpi");
        Row::add("another drive: its root", ".||.|.");
        Row::add("failing: the dialogs' drive, at its folder",
                 "ez-dago|musika/azpi|musika|musika/azpi");
        Row::add("failing before any activation: home", "ez-dago||~|~");
    }

    // Guards a re-chosen drive throwing the folder back to its root, and a failing drive not
    // asked about again on Retry or not falling back on Cancel.
    void chooseDrive()
    {
        const Row row;
        const auto absolute = [this](const QString& path) {
            return path == u'~' ? QDir::homePath() : pathOf(path);
        };
        if (!row[1].isEmpty())
            Form<zerrenda>().diago->InitDir = pathOf(row[1]);
        browser().unitatea->setDrives({pathOf(u"musika"_s), m_dir->path(), pathOf(u"ez-dago"_s)});
        openFolder(u"musika/azpi"_s);
        m_answers = {MsgBox::Retry, MsgBox::Cancel};
        const int index = browser().unitatea->findText(absolute(row[0]));
        browser().unitatea->setCurrentIndex(index);
        emit browser().unitatea->activated(index);
        QCOMPARE(m_asked, row[0] == u"ez-dago"_s ? 2 : 0);
        QCOMPARE(browser().unitatea->Drive(), absolute(row[2]));
        QCOMPARE(browser().karpeta->Path(), absolute(row[3]));
        QCOMPARE(browser().artxi->Path(), absolute(row[3]));
    }
};

QTEST_MAIN(tst_artxiboak)
#include "tst_artxiboak.moc"