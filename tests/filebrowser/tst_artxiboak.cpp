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

using namespace Qt::StringLiterals;

class tst_artxiboak : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_messages; // "prompt|style|title"
    QList<int> m_answers;

    artxiboak& browser() { return Form<artxiboak>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }
    void openFolder(const QString& name) { browser().karpeta->setPath(pathOf(name)); }
    void selectFiles(const QList<int>& rows)
    {
        for (int row : rows)
            browser().artxi->item(row)->setSelected(true);
    }

private slots:
    // Songs in mixed case among other files, a folder whose name looks like a song, and a
    // sub-folder with a song of its own.
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
        m_messages.clear();
        WindowTest::answers().message =
            ([this](const QString& prompt, int style, const QString& title) {
                m_messages << u"%1|%2|%3"_s.arg(prompt).arg(style).arg(title);
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
        QTest::addColumn<QString>("added");
        QTest::newRow("nothing selected") << QList<int>{} << QString();
        QTest::newRow("all, picked backwards")
            << QList<int>{3, 0, 2, 1} << u"a.mp3 B.MP3 c.Mp3 ñu.mp3"_s;
    }

    // The add button stays offered after a change of folder clears the selection. Add appends
    // the selected songs in the file list's order after what the playlist holds, marks it as
    // changed even when nothing was selected, and unloads the browser.
    void add()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, added);
        Form<zerrenda>().appendItems({u"/lehena.mp3"_s});
        openFolder(u"musika"_s);
        selectFiles({0});
        openFolder(u"musika/azpi"_s);
        openFolder(u"musika"_s);
        QCOMPARE(browser().artxi->ListCount(), 4);
        selectFiles(rows);
        browser().Imagehitu_MouseUp();
        QStringList expected{u"/lehena.mp3"_s};
        for (const QString& name : added.split(u' ', Qt::SkipEmptyParts))
            expected << pathOf(u"musika/"_s + name);
        QStringList playlist;
        for (int row = 0; row < Form<zerrenda>().ListCount(); ++row)
            playlist << Form<zerrenda>().List(row);
        QCOMPARE(playlist, expected);
        QVERIFY(!Form<zerrenda>().Imagord->isHidden());
        QVERIFY(!WindowRegistry::instance().isLoaded<artxiboak>());
    }

    void closeAndReopenKeepsState()
    {
        artxiboak* first = &browser();
        openFolder(u"musika"_s);
        selectFiles({1, 3});
        browser().Imautzi_MouseUp();
        QVERIFY(browser().isHidden());
        QCOMPARE(&browser(), first);
        QCOMPARE(browser().karpeta->Path(), pathOf(u"musika"_s));
        QCOMPARE(browser().artxi->selectedRows(), (QList<int>{1, 3}));
        QVERIFY(!browser().Imagehitu->isHidden());
    }

    // Fields: the dialogs' starting folder, then the drive and folder fallen back to ("~" home).
    void failingDriveAsksThenFallsBack_data()
    {
        Row::columns();
        Row::add("drive of the dialogs' folder, which keeps its folder",
                 "musika/azpi|musika|musika/azpi");
        Row::add("before any activation: the home folder", "|~|~");
    }

    // A drive that cannot be opened: the user answers Retry, then Cancel, and the browser goes
    // back to the drive of the dialogs' starting folder, at the folder it showed on that drive.
    void failingDriveAsksThenFallsBack()
    {
        const Row row;
        const QString missing = pathOf(u"ez-dago"_s);
        if (!row[0].isEmpty())
            Form<zerrenda>().diago->InitDir = pathOf(row[0]);
        const auto absolute = [this](const QString& path) {
            return path == u'~' ? QDir::homePath() : pathOf(path);
        };
        browser().unitatea->setDrives({pathOf(u"musika"_s), missing});
        openFolder(u"musika/azpi"_s);
        m_answers = {MsgBox::Retry, MsgBox::Cancel};
        browser().unitatea->setDrive(missing);
        const QString asked = u"unitate hutsa...|21|Okerra"_s;
        QCOMPARE(m_messages, (QStringList{asked, asked}));
        QCOMPARE(browser().unitatea->Drive(), absolute(row[1]));
        QCOMPARE(browser().karpeta->Path(), absolute(row[2]));
        QCOMPARE(browser().artxi->Path(), absolute(row[2]));
    }

    // Choosing again the drive the browser is on keeps the folder; another drive goes to its
    // root. Shown, the browser gives the dialogs the home folder to start in.
    void driveChoice()
    {
        browser().unitatea->setDrives({pathOf(u"musika"_s), m_dir->path()});
        openFolder(u"musika/azpi"_s);
        emit browser().unitatea->activated(0);
        QCOMPARE(browser().karpeta->Path(), pathOf(u"musika/azpi"_s));
        browser().unitatea->setCurrentIndex(1);
        emit browser().unitatea->activated(1);
        QCOMPARE(browser().karpeta->Path(), m_dir->path());
        browser().show();
        QCOMPARE(Form<zerrenda>().diago->InitDir, QDir::homePath());
    }

    // A click on a selected file still shows the add button, though the selection is unchanged.
    void clickWithoutChange()
    {
        openFolder(u"musika"_s);
        selectFiles({0});
        browser().Imagehitu->hide();
        QTest::mouseClick(browser().artxi->viewport(), Qt::LeftButton, {},
                          browser().artxi->visualItemRect(browser().artxi->item(0)).center());
        QVERIFY(!browser().Imagehitu->isHidden());
    }
};

QTEST_MAIN(tst_artxiboak)
#include "tst_artxiboak.moc"
