#include "filebrowser/DirListBox.h"
#include "filebrowser/DriveListBox.h"
#include "filebrowser/FileListBox.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

// The file browser on a folder tree made for each test: what the file list shows, what add
// appends to the playlist, what close and add leave behind, and a drive that cannot be read.
class tst_artxiboak : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileListShowsSongsInOrder();
    void addAppendsSelection_data();
    void addAppendsSelection();
    void folderEndingInSeparatorGivesTwo();
    void closeAndReopenKeepsState();
    void addAndReopenStartsFresh();
    void failingDriveAsksThenFallsBack_data();
    void failingDriveAsksThenFallsBack();
    void vanishedFolderShowsEmpty();
    void activationSetsDialogFolder();

private:
    artxiboak& browser() { return Form<artxiboak>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }
    void openFolder(const QString& folder) { browser().karpeta->setPath(folder); }
    void selectFiles(const QList<int>& rows);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_messages;
    QList<int> m_answers;
};

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList playlistItems()
{
    QStringList texts;
    for (int row = 0; row < Form<zerrenda>().ListCount(); ++row)
        texts << Form<zerrenda>().List(row);
    return texts;
}

QStringList fileList(const FileListBox* list)
{
    QStringList names;
    for (int at = 0; at < list->ListCount(); ++at)
        names << list->List(at);
    return names;
}

} // namespace

// Songs in mixed case among other files, a folder whose name looks like a song, and a
// sub-folder with songs of its own.
void tst_artxiboak::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir root(m_dir->path());
    QVERIFY(root.mkpath(QStringLiteral("musika/azpi")));
    QVERIFY(root.mkpath(QStringLiteral("musika/ez-da.mp3")));
    for (const char* name : {"c.Mp3", "a.mp3", "B.MP3", "d.txt", "e.mp3.txt", "ñu.mp3"})
        touch(pathOf(QStringLiteral("musika/") + QString::fromUtf8(name)));
    touch(pathOf(QStringLiteral("musika/azpi/z.mp3")));
    MsgBox::setAnswerer([this](const QString& prompt, int style, const QString& title) {
        m_messages << QStringLiteral("%1|%2|%3").arg(prompt).arg(style).arg(title);
        return m_answers.isEmpty() ? MsgBox::Cancel : m_answers.takeFirst();
    });
}

void tst_artxiboak::cleanup()
{
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MsgBox::setAnswerer({});
    m_messages.clear();
    m_answers.clear();
}

void tst_artxiboak::selectFiles(const QList<int>& rows)
{
    for (int row : rows)
        browser().artxi->item(row)->setSelected(true);
}

void tst_artxiboak::fileListShowsSongsInOrder()
{
    openFolder(pathOf(QStringLiteral("musika")));
    QCOMPARE(browser().artxi->Path(), pathOf(QStringLiteral("musika")));
    QCOMPARE(fileList(browser().artxi),
             (QStringList{QStringLiteral("a.mp3"), QStringLiteral("B.MP3"), QStringLiteral("c.Mp3"),
                          QStringLiteral("ñu.mp3")}));
    QVERIFY(browser().Imagehitu->isHidden());
    selectFiles({1});
    QVERIFY(!browser().Imagehitu->isHidden());
    browser().artxi->clearSelection();
    QVERIFY(browser().Imagehitu->isHidden());
}

void tst_artxiboak::addAppendsSelection_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("nothing") << QList<int>{} << QStringList{};
    QTest::newRow("one") << QList<int>{2} << QStringList{QStringLiteral("c.Mp3")};
    QTest::newRow("picked backwards: list order")
        << QList<int>{3, 0, 1}
        << QStringList{QStringLiteral("a.mp3"), QStringLiteral("B.MP3"), QStringLiteral("ñu.mp3")};
}

// Add appends each selected song after what the playlist holds, marks it as changed even when
// nothing was selected, and unloads the browser.
void tst_artxiboak::addAppendsSelection()
{
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, added);
    Form<zerrenda>().appendItems({QStringLiteral("/lehena.mp3")});
    openFolder(pathOf(QStringLiteral("musika")));
    selectFiles({0});
    openFolder(pathOf(QStringLiteral("musika/azpi")));
    openFolder(pathOf(QStringLiteral("musika")));
    selectFiles(rows);
    QPointer<artxiboak> old(&browser());
    browser().Imagehitu_MouseUp();
    QStringList expected{QStringLiteral("/lehena.mp3")};
    for (const QString& name : added)
        expected << pathOf(QStringLiteral("musika/") + name);
    QCOMPARE(playlistItems(), expected);
    QVERIFY(!Form<zerrenda>().Imagord->isHidden());
    QVERIFY(!WindowRegistry::instance().isLoaded<artxiboak>());
    QVERIFY(old->isHidden());
}

void tst_artxiboak::folderEndingInSeparatorGivesTwo()
{
    browser().artxi->setPath(pathOf(QStringLiteral("musika/azpi/")));
    selectFiles({0});
    browser().Imagehitu_MouseUp();
    QCOMPARE(playlistItems(), QStringList{pathOf(QStringLiteral("musika/azpi//z.mp3"))});
}

void tst_artxiboak::closeAndReopenKeepsState()
{
    artxiboak* first = &browser();
    openFolder(pathOf(QStringLiteral("musika")));
    selectFiles({1, 3});
    browser().Imautzi_MouseUp();
    QVERIFY(browser().isHidden());
    QCOMPARE(&browser(), first);
    QCOMPARE(browser().karpeta->Path(), pathOf(QStringLiteral("musika")));
    QVERIFY(!browser().artxi->Selected(0));
    QVERIFY(browser().artxi->Selected(1));
    QVERIFY(browser().artxi->Selected(3));
    QVERIFY(!browser().Imagehitu->isHidden());
}

void tst_artxiboak::addAndReopenStartsFresh()
{
    openFolder(pathOf(QStringLiteral("musika")));
    selectFiles({0});
    QPointer<artxiboak> old(&browser());
    browser().Imagehitu_MouseUp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(old.isNull());
    QCOMPARE(browser().karpeta->Path(), QDir::currentPath());
    QCOMPARE(browser().artxi->Path(), QDir::currentPath());
    QVERIFY(browser().Imagehitu->isHidden());
    QVERIFY(browser().artxi->selectedItems().isEmpty());
}

void tst_artxiboak::failingDriveAsksThenFallsBack_data()
{
    QTest::addColumn<QString>("startFolder");
    QTest::addColumn<QString>("fallback");
    QTest::newRow("drive of the dialogs' folder")
        << QStringLiteral("musika/azpi") << QStringLiteral("musika");
    QTest::newRow("before any activation: the root") << QString() << QDir::rootPath();
}

// The drive list is given a folder that does not exist as a drive: it asks, Retry asks again,
// Cancel returns to the drive of the dialogs' starting folder.
void tst_artxiboak::failingDriveAsksThenFallsBack()
{
    QFETCH(QString, startFolder);
    QFETCH(QString, fallback);
    const QString good = pathOf(QStringLiteral("musika"));
    const QString missing = pathOf(QStringLiteral("ez-dago"));
    if (!startFolder.isEmpty())
        Form<zerrenda>().diago->InitDir = pathOf(startFolder);
    if (!fallback.startsWith(u'/'))
        fallback = pathOf(fallback);
    browser().unitatea->setDrives({good, missing});
    openFolder(good + QStringLiteral("/azpi"));
    m_answers << MsgBox::Retry << MsgBox::Cancel;
    browser().unitatea->setDrive(missing);
    const QString asked = QStringLiteral("unitate hutsa...|21|Okerra");
    QCOMPARE(m_messages, (QStringList{asked, asked}));
    QCOMPARE(browser().unitatea->Drive(), fallback);
    QCOMPARE(browser().karpeta->Path(), fallback);
    QCOMPARE(browser().artxi->Path(), fallback);
}

void tst_artxiboak::vanishedFolderShowsEmpty()
{
    const QString doomed = pathOf(QStringLiteral("musika/azpi"));
    openFolder(doomed);
    selectFiles({0});
    QVERIFY(QDir(doomed).removeRecursively());
    browser().artxi->setPath(doomed);
    QCOMPARE(browser().artxi->ListCount(), 0);
    QVERIFY(browser().Imagehitu->isHidden());
    QVERIFY(!browser().karpeta->setPath(doomed));
    QVERIFY(m_messages.isEmpty());
}

void tst_artxiboak::activationSetsDialogFolder()
{
    Form<zerrenda>().diago->InitDir = pathOf(QStringLiteral("musika"));
    browser().Form_Activate();
    QCOMPARE(Form<zerrenda>().diago->InitDir, QDir::rootPath());
}

QTEST_MAIN(tst_artxiboak)
#include "tst_artxiboak.moc"
