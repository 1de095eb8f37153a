#include "filebrowser/DirListBox.h"
#include "filebrowser/DriveListBox.h"
#include "filebrowser/FileListBox.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("musika/azpi")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("musika/ez-da.mp3")));
        for (const char* name :
             {"c.Mp3", "a.mp3", "B.MP3", "d.txt", "e.mp3.txt", "ñu.mp3", "azpi/z.mp3"})
            QVERIFY(QFile(pathOf(QStringLiteral("musika/") + QString::fromUtf8(name)))
                        .open(QIODevice::WriteOnly));
        m_messages.clear();
        WindowTest::answers().message =
            ([this](const QString& prompt, int style, const QString& title) {
                m_messages << QStringLiteral("%1|%2|%3").arg(prompt).arg(style).arg(title);
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
            << QList<int>{3, 0, 2, 1} << QStringLiteral("a.mp3 B.MP3 c.Mp3 ñu.mp3");
    }

    // The add button stays offered after a change of folder clears the selection. Add appends
    // the selected songs in the file list's order after what the playlist holds, marks it as
    // changed even when nothing was selected, and unloads the browser.
    void add()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, added);
        Form<zerrenda>().appendItems({QStringLiteral("/lehena.mp3")});
        openFolder(QStringLiteral("musika"));
        selectFiles({0});
        openFolder(QStringLiteral("musika/azpi"));
        openFolder(QStringLiteral("musika"));
        QCOMPARE(browser().artxi->ListCount(), 4);
        selectFiles(rows);
        browser().Imagehitu_MouseUp();
        QStringList expected{QStringLiteral("/lehena.mp3")};
        for (const QString& name : added.split(u' ', Qt::SkipEmptyParts))
            expected << pathOf(QStringLiteral("musika/") + name);
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
        openFolder(QStringLiteral("musika"));
        selectFiles({1, 3});
        browser().Imautzi_MouseUp();
        QVERIFY(browser().isHidden());
        QCOMPARE(&browser(), first);
        QCOMPARE(browser().karpeta->Path(), pathOf(QStringLiteral("musika")));
        QCOMPARE(browser().artxi->selectedRows(), (QList<int>{1, 3}));
        QVERIFY(!browser().Imagehitu->isHidden());
    }

    void failingDriveAsksThenFallsBack_data()
    {
        QTest::addColumn<QString>("startFolder");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("folder");
        QTest::newRow("drive of the dialogs' folder, which keeps its folder")
            << QStringLiteral("musika/azpi") << QStringLiteral("musika")
            << QStringLiteral("musika/azpi");
        QTest::newRow("before any activation: the home folder")
            << QString() << QDir::homePath() << QDir::homePath();
    }

    // A drive that cannot be opened: the user answers Retry, then Cancel, and the browser goes
    // back to the drive of the dialogs' starting folder, at the folder it showed on that drive.
    void failingDriveAsksThenFallsBack()
    {
        QFETCH(QString, startFolder);
        QFETCH(QString, drive);
        QFETCH(QString, folder);
        const QString missing = pathOf(QStringLiteral("ez-dago"));
        if (!startFolder.isEmpty())
            Form<zerrenda>().diago->InitDir = pathOf(startFolder);
        const auto absolute = [this](const QString& path) {
            return path.startsWith(u'/') ? path : pathOf(path);
        };
        browser().unitatea->setDrives({pathOf(QStringLiteral("musika")), missing});
        openFolder(QStringLiteral("musika/azpi"));
        m_answers = {MsgBox::Retry, MsgBox::Cancel};
        browser().unitatea->setDrive(missing);
        const QString asked = QStringLiteral("unitate hutsa...|21|Okerra");
        QCOMPARE(m_messages, (QStringList{asked, asked}));
        QCOMPARE(browser().unitatea->Drive(), absolute(drive));
        QCOMPARE(browser().karpeta->Path(), absolute(folder));
        QCOMPARE(browser().artxi->Path(), absolute(folder));
    }

    // Choosing again the drive the browser is on keeps the folder; another drive goes to its
    // root. Shown, the browser gives the dialogs the home folder to start in.
    void driveChoice()
    {
        browser().unitatea->setDrives({pathOf(QStringLiteral("musika")), m_dir->path()});
        openFolder(QStringLiteral("musika/azpi"));
        emit browser().unitatea->activated(0);
        QCOMPARE(browser().karpeta->Path(), pathOf(QStringLiteral("musika/azpi")));
        browser().unitatea->setCurrentIndex(1);
        emit browser().unitatea->activated(1);
        QCOMPARE(browser().karpeta->Path(), m_dir->path());
        browser().show();
        QCOMPARE(Form<zerrenda>().diago->InitDir, QDir::homePath());
    }

    // A click on a selected file still shows the add button, though the selection is unchanged.
    void clickWithoutChange()
    {
        openFolder(QStringLiteral("musika"));
        selectFiles({0});
        browser().Imagehitu->hide();
        QTest::mouseClick(browser().artxi->viewport(), Qt::LeftButton, {},
                          browser().artxi->visualItemRect(browser().artxi->item(0)).center());
        QVERIFY(!browser().Imagehitu->isHidden());
    }
};

QTEST_MAIN(tst_artxiboak)
#include "tst_artxiboak.moc"
