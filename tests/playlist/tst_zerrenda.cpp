#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

// The playlist window driven through its handlers: the selection rule, moves, remove, new
// list, the change watch, the item limit, and saving and opening through scripted dialogs and
// message boxes.
class tst_zerrenda : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void selectionRule_data();
    void selectionRule();
    void selectionRuleAfterUnticking_data();
    void selectionRuleAfterUnticking();
    void emptyListLeavesRemoveAlone();
    void move_data();
    void move();
    void remove_data();
    void remove();
    void newList_data();
    void newList();
    void changeWatch_data();
    void changeWatch();
    void limit_data();
    void limit();
    void dialogsAreSetUp();
    void saveAndOpenEmptyList();
    void cancelledDialogsChangeNothing();
    void openButton_data();
    void openButton();
    void failures_data();
    void failures();
    void fileCommandsWaitTheirTurn();

private:
    struct Message {
        QString prompt;
        int style;
        QString title;
    };
    struct Dialog {
        CommonDialog::Kind kind;
        int flags;
        QString title;
        QString filter;
        QString fileNameBefore;
    };

    zerrenda& window() { return Form<zerrenda>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }
    QString chosen(const QString& token) const;
    void putList(const QString& name, int count, const QString& stem);
    void startWith(int opened, int added);
    QStringList items();
    void select(const QList<int>& rows);

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<Message> m_messages;
    QList<int> m_answers;
    QList<Dialog> m_dialogs;
    QStringList m_choices;
    std::function<void()> m_duringDialog;
};

Q_DECLARE_METATYPE(CommonDialog::Kind)

namespace {

QStringList numbered(const QString& stem, int count)
{
    QStringList names;
    for (int at = 0; at < count; ++at)
        names << QStringLiteral("/musika/%1%2.mp3").arg(stem).arg(at);
    return names;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Which of save (G), remove (k), up (g) and down (b) are offered, as "Gkgb" with "-" for
// each hidden one.
QString flags(const zerrenda& playlist)
{
    const ImageButton* buttons[] = {playlist.Imagord, playlist.Imakend, playlist.Imagora,
                                    playlist.Imabera};
    QString shown = QStringLiteral("Gkgb");
    for (int at = 0; at < 4; ++at) {
        if (buttons[at]->isHidden())
            shown[at] = u'-';
    }
    return shown;
}

} // namespace

void tst_zerrenda::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    MsgBox::setAnswerer([this](const QString& prompt, int style, const QString& title) {
        m_messages.append({prompt, style, title});
        return m_answers.isEmpty() ? MsgBox::Ok : m_answers.takeFirst();
    });
    window().diago->setChooser([this](const CommonDialog& dialog, CommonDialog::Kind kind) {
        m_dialogs.append({kind, dialog.Flags, dialog.DialogTitle, dialog.Filter, dialog.FileName});
        if (m_duringDialog)
            std::exchange(m_duringDialog, {})();
        return m_choices.isEmpty() ? QString() : chosen(m_choices.takeFirst());
    });
}

void tst_zerrenda::cleanup()
{
    WindowRegistry::instance().unloadAll();
    MsgBox::setAnswerer({});
    m_messages.clear();
    m_answers.clear();
    m_dialogs.clear();
    m_choices.clear();
    m_duringDialog = {};
}

// Dialog answers name files in the test's folder unless absolute; "" stands for cancel.
QString tst_zerrenda::chosen(const QString& token) const
{
    if (token.isEmpty() || token.startsWith(u'/'))
        return token;
    return pathOf(token);
}

void tst_zerrenda::putList(const QString& name, int count, const QString& stem)
{
    QFile file(pathOf(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& item : numbered(stem, count))
        file.write(item.toUtf8() + "\r\n");
}

// A list opened from a file of `opened` songs, then `added` songs more as the browser adds
// them (which marks the list as changed).
void tst_zerrenda::startWith(int opened, int added)
{
    putList(QStringLiteral("hasiera.m3u"), opened, QStringLiteral("zahar"));
    m_choices << QStringLiteral("hasiera.m3u");
    QVERIFY(window().imairek_baziak());
    if (added > 0) {
        window().appendItems(numbered(QStringLiteral("berri"), added));
        window().Imagord->show();
    }
    m_dialogs.clear();
}

QStringList tst_zerrenda::items()
{
    QStringList texts;
    for (int row = 0; row < window().ListCount(); ++row)
        texts << window().List(row);
    return texts;
}

// Selects as a user would, one item after another, so the rule runs on every change.
void tst_zerrenda::select(const QList<int>& rows)
{
    window().lista->clearSelection();
    for (int row : rows)
        window().lista->item(row)->setSelected(true);
}

void tst_zerrenda::selectionRule_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one item") << 1 << QList<int>{0} << QStringLiteral("-k--");
    QTest::newRow("first") << 5 << QList<int>{0} << QStringLiteral("-k-b");
    QTest::newRow("last") << 5 << QList<int>{4} << QStringLiteral("-kg-");
    QTest::newRow("middle") << 5 << QList<int>{2} << QStringLiteral("-kgb");
    QTest::newRow("two") << 5 << QList<int>{1, 2} << QStringLiteral("-k--");
    QTest::newRow("first and last") << 5 << QList<int>{0, 4} << QStringLiteral("-k--");
    QTest::newRow("none") << 5 << QList<int>{} << QStringLiteral("----");
}

void tst_zerrenda::selectionRule()
{
    QFETCH(int, count);
    QFETCH(QList<int>, selected);
    QFETCH(QString, shown);
    window().appendItems(numbered(QStringLiteral("a"), count));
    select({0});
    select(selected);
    QCOMPARE(flags(window()), shown);
}

// A range picked with Shift, then rows of it unticked with Ctrl: the selection is then kept as
// pieces of ranges, which the rule must still read as one row or several.
void tst_zerrenda::selectionRuleAfterUnticking_data()
{
    QTest::addColumn<int>("untick");
    QTest::addColumn<QString>("shown");
    QTest::newRow("start and end") << -1 << QStringLiteral("-kgb");
    QTest::newRow("middle only") << 2 << QStringLiteral("-k--");
}

void tst_zerrenda::selectionRuleAfterUnticking()
{
    QFETCH(int, untick);
    QFETCH(QString, shown);
    window().appendItems(numbered(QStringLiteral("a"), 5));
    QItemSelectionModel* model = window().lista->selectionModel();
    const QAbstractItemModel* items = window().lista->model();
    model->select(QItemSelection(items->index(1, 0), items->index(3, 0)),
                  QItemSelectionModel::ClearAndSelect);
    for (int row : untick < 0 ? QList<int>{1, 3} : QList<int>{untick})
        model->select(items->index(row, 0), QItemSelectionModel::Toggle);
    QCOMPARE(flags(window()), shown);
}

void tst_zerrenda::emptyListLeavesRemoveAlone()
{
    window().Imakend->show();
    window().lista_Click();
    QCOMPARE(flags(window()), QStringLiteral("-k--"));
}

void tst_zerrenda::move_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("step");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QString>("shown");
    QTest::newRow("second up") << QList<int>{1} << -1 << QList<int>{1, 0, 2, 3}
                               << QStringLiteral("Gk-b");
    QTest::newRow("middle down") << QList<int>{1} << 1 << QList<int>{0, 2, 1, 3}
                                 << QStringLiteral("Gkgb");
    QTest::newRow("next to last down")
        << QList<int>{2} << 1 << QList<int>{0, 1, 3, 2} << QStringLiteral("Gkg-");
    QTest::newRow("first up") << QList<int>{0} << -1 << QList<int>{0, 1, 2, 3}
                              << QStringLiteral("-k-b");
    QTest::newRow("last down") << QList<int>{3} << 1 << QList<int>{0, 1, 2, 3}
                               << QStringLiteral("-kg-");
    QTest::newRow("nothing selected")
        << QList<int>{} << 1 << QList<int>{0, 1, 2, 3} << QStringLiteral("----");
    QTest::newRow("two selected: the first moves")
        << QList<int>{1, 3} << -1 << QList<int>{1, 0, 2, 3} << QStringLiteral("Gk-b");
}

// A move swaps the first selected song with its neighbour and counts as a change; a move with
// nowhere to go changes nothing at all.
void tst_zerrenda::move()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, step);
    QFETCH(QList<int>, order);
    QFETCH(QString, shown);
    startWith(4, 0);
    const QStringList before = items();
    select(selected);
    if (step < 0)
        window().Imagora_MouseUp();
    else
        window().Imabera_MouseUp();
    QStringList expected;
    for (int at : order)
        expected << before.at(at);
    QCOMPARE(items(), expected);
    QCOMPARE(flags(window()), shown);
    QCOMPARE(window().SavedCount(), 4);
    if (expected != before)
        QCOMPARE(window().lista->selectionModel()->selectedRows().size(), 1);
}

void tst_zerrenda::remove_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QString>("shown");
    QTest::newRow("none") << QList<int>{} << QList<int>{0, 1, 2, 3, 4, 5} << QStringLiteral("G---");
    QTest::newRow("one") << QList<int>{2} << QList<int>{0, 1, 3, 4, 5} << QStringLiteral("G-gb");
    QTest::newRow("first") << QList<int>{0} << QList<int>{1, 2, 3, 4, 5} << QStringLiteral("G--b");
    QTest::newRow("last") << QList<int>{5} << QList<int>{0, 1, 2, 3, 4} << QStringLiteral("G-g-");
    QTest::newRow("every other") << QList<int>{0, 2, 4} << QList<int>{1, 3, 5}
                                 << QStringLiteral("G---");
    QTest::newRow("first and last")
        << QList<int>{0, 5} << QList<int>{1, 2, 3, 4} << QStringLiteral("G---");
    QTest::newRow("all but one") << QList<int>{0, 1, 2, 4, 5} << QList<int>{3}
                                 << QStringLiteral("G---");
    QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{} << QStringLiteral("----");
}

void tst_zerrenda::remove()
{
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, kept);
    QFETCH(QString, shown);
    startWith(0, 6);
    const QStringList before = items();
    select(selected);
    window().Imakend_MouseUp();
    QStringList expected;
    for (int at : kept)
        expected << before.at(at);
    QCOMPARE(items(), expected);
    QCOMPARE(flags(window()), shown);
    QVERIFY(window().lista->selectionModel()->selectedRows().isEmpty());
}

void tst_zerrenda::newList_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveTo");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<QStringList>("messageTitles");
    const QString question = QStringLiteral("Ireki...");
    const QString failure = QStringLiteral("Okerra");
    QTest::newRow("clean list") << false << 0 << QString() << true << QStringList{};
    QTest::newRow("Yes, saved") << true << MsgBox::Yes << QStringLiteral("gordea.m3u") << true
                                << QStringList{question};
    QTest::newRow("Yes, save cancelled")
        << true << MsgBox::Yes << QString() << false << QStringList{question};
    QTest::newRow("Yes, save failed")
        << true << MsgBox::Yes << QStringLiteral(".") << false << QStringList{question, failure};
    QTest::newRow("No") << true << MsgBox::No << QString() << true << QStringList{question};
    QTest::newRow("Cancel") << true << MsgBox::Cancel << QString() << false
                            << QStringList{question};
}

void tst_zerrenda::newList()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, cleared);
    QFETCH(QStringList, messageTitles);
    startWith(3, changed ? 2 : 0);
    const QStringList before = items();
    m_answers << answer;
    m_choices << saveTo;
    window().Imaberr_MouseUp();
    QStringList titles;
    for (const Message& message : m_messages)
        titles << message.title;
    QCOMPARE(titles, messageTitles);
    if (changed) {
        QCOMPARE(m_messages.first().prompt, QStringLiteral("Gorde nahi duzu zerrenda hau?"));
        QCOMPARE(m_messages.first().style, 35);
    }
    QCOMPARE(items(), cleared ? QStringList{} : before);
    QCOMPARE(window().Imagord->isHidden(), cleared);
    QCOMPARE(window().SavedCount(), cleared ? 0 : 3);
    if (saveTo == QStringLiteral("gordea.m3u"))
        QCOMPARE(contentsOf(pathOf(saveTo)).count('\n'), 5);
}

void tst_zerrenda::changeWatch_data()
{
    QTest::addColumn<int>("opened");
    QTest::addColumn<int>("now");
    QTest::addColumn<bool>("markedBefore");
    QTest::addColumn<bool>("markedAfter");
    QTest::newRow("same count") << 3 << 3 << false << false;
    QTest::newRow("same count, marked") << 3 << 3 << true << true;
    QTest::newRow("more") << 3 << 5 << false << true;
    QTest::newRow("fewer") << 3 << 1 << false << true;
    QTest::newRow("emptied") << 5 << 0 << false << true;
    QTest::newRow("empty, never saved") << 0 << 0 << false << false;
}

void tst_zerrenda::changeWatch()
{
    QFETCH(int, opened);
    QFETCH(int, now);
    QFETCH(bool, markedBefore);
    QFETCH(bool, markedAfter);
    startWith(opened, 0);
    while (window().ListCount() > now)
        delete window().lista->takeItem(0);
    window().appendItems(numbered(QStringLiteral("b"), now - window().ListCount()));
    window().Imagord->setVisible(markedBefore);
    window().Timi3_Timer();
    QCOMPARE(!window().Imagord->isHidden(), markedAfter);
    QCOMPARE(window().SavedCount(), opened);
}

void tst_zerrenda::limit_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("byFile");
    QTest::addColumn<int>("lastOffered");
    QTest::newRow("add up to the limit") << zerrenda::MaxItems - 5 << 5 << false << 4;
    QTest::newRow("add past the limit") << zerrenda::MaxItems - 5 << 8 << false << 4;
    QTest::newRow("add to a full list") << zerrenda::MaxItems << 1 << false << -1;
    QTest::newRow("open past the limit") << 3 << zerrenda::MaxItems + 2 << true << 32766;
}

// The list keeps the first songs up to its limit and tells the user what was left out.
void tst_zerrenda::limit()
{
    QFETCH(int, present);
    QFETCH(int, offered);
    QFETCH(bool, byFile);
    QFETCH(int, lastOffered);
    window().appendItems(numbered(QStringLiteral("a"), present));
    if (byFile) {
        putList(QStringLiteral("luzea.m3u"), offered, QStringLiteral("f"));
        m_choices << QStringLiteral("luzea.m3u");
        QVERIFY(window().imairek_baziak());
        QVERIFY(window().Imagord->isHidden());
    } else {
        window().appendItems(numbered(QStringLiteral("f"), offered));
    }
    const int kept = byFile ? 0 : present;
    QCOMPARE(window().ListCount(), std::min(kept + offered, int{zerrenda::MaxItems}));
    QCOMPARE(window().List(0), byFile ? QStringLiteral("/musika/f0.mp3")
                                      : numbered(QStringLiteral("a"), 1).constFirst());
    const QString last = lastOffered < 0 ? numbered(QStringLiteral("a"), present).constLast()
                                         : QStringLiteral("/musika/f%1.mp3").arg(lastOffered);
    QCOMPARE(window().List(zerrenda::MaxItems - 1), last);
    const bool tooMany = kept + offered > zerrenda::MaxItems;
    QCOMPARE(m_messages.size(), tooMany ? 1 : 0);
    if (tooMany)
        QVERIFY(m_messages.first().prompt.contains(QStringLiteral("32767")));
}

void tst_zerrenda::dialogsAreSetUp()
{
    window().appendItems(numbered(QStringLiteral("a"), 2));
    m_choices << QStringLiteral("bat.m3u") << QStringLiteral("bat.m3u");
    QVERIFY(window().Imagord_baziak());
    QVERIFY(window().imairek_baziak());
    QCOMPARE(m_dialogs.size(), 2);
    const QString filter = QStringLiteral("Mp3 zerrenda (*.m3u)|*.m3u");
    const Dialog& save = m_dialogs.at(0);
    QCOMPARE(save.kind, CommonDialog::Kind::Save);
    QCOMPARE(save.flags, 0x281006);
    QCOMPARE(save.title, QStringLiteral("Gorde..."));
    QCOMPARE(save.filter, filter);
    const Dialog& open = m_dialogs.at(1);
    QCOMPARE(open.kind, CommonDialog::Kind::Open);
    QCOMPARE(open.flags, 0x281004);
    QCOMPARE(open.title, QStringLiteral("Ireki..."));
    QCOMPARE(open.filter, filter);
    QCOMPARE(open.fileNameBefore, pathOf(QStringLiteral("bat.m3u")));
    QCOMPARE(window().diago->InitDir, QString());
}

void tst_zerrenda::saveAndOpenEmptyList()
{
    startWith(3, 0);
    putList(QStringLiteral("hutsa.m3u"), 0, QString());
    m_choices << QStringLiteral("hutsa.m3u");
    QVERIFY(window().imairek_baziak());
    QCOMPARE(window().ListCount(), 0);
    QVERIFY(window().Imagord->isHidden());
    QCOMPARE(window().SavedCount(), 0);
    window().Imagord->show();
    m_choices << QStringLiteral("berria");
    window().Imagord_MouseUp();
    QCOMPARE(contentsOf(pathOf(QStringLiteral("berria"))), QByteArray());
    QVERIFY(window().Imagord->isHidden());
}

void tst_zerrenda::cancelledDialogsChangeNothing()
{
    startWith(3, 2);
    const QStringList before = items();
    const QByteArray file = contentsOf(pathOf(QStringLiteral("hasiera.m3u")));
    m_choices << QString() << QString();
    QVERIFY(!window().Imagord_baziak());
    QVERIFY(!window().imairek_baziak());
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(items(), before);
    QVERIFY(!window().Imagord->isHidden());
    QCOMPARE(window().SavedCount(), 3);
    QCOMPARE(contentsOf(pathOf(QStringLiteral("hasiera.m3u"))), file);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("hasiera.m3u")});
    QVERIFY(m_messages.isEmpty());
}

void tst_zerrenda::openButton_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("dialogs");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("messages");
    const QString list = QStringLiteral("beste.m3u");
    const QString saved = QStringLiteral("gordea.m3u");
    QTest::newRow("clean: opens at once")
        << false << 0 << QStringList{list} << QStringLiteral("O") << true << 0;
    QTest::newRow("Yes: saves, then opens")
        << true << MsgBox::Yes << QStringList{saved, list} << QStringLiteral("SO") << true << 1;
    QTest::newRow("Yes, save cancelled: no open")
        << true << MsgBox::Yes << QStringList{QString()} << QStringLiteral("S") << false << 1;
    QTest::newRow("Yes, save failed: no open")
        << true << MsgBox::Yes << QStringList{QStringLiteral(".")} << QStringLiteral("S") << false
        << 2;
    QTest::newRow("No: opens") << true << MsgBox::No << QStringList{list} << QStringLiteral("O")
                               << true << 1;
    QTest::newRow("No, open cancelled: keeps the mark")
        << true << MsgBox::No << QStringList{QString()} << QStringLiteral("O") << false << 1;
    QTest::newRow("No, open failed: keeps the mark")
        << true << MsgBox::No << QStringList{QStringLiteral("ez-dago.m3u")} << QStringLiteral("O")
        << false << 2;
    QTest::newRow("Cancel") << true << MsgBox::Cancel << QStringList{} << QStringLiteral("")
                            << false << 1;
}

void tst_zerrenda::openButton()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(QStringList, choices);
    QFETCH(QString, dialogs);
    QFETCH(bool, replaced);
    QFETCH(int, messages);
    startWith(3, changed ? 2 : 0);
    putList(QStringLiteral("beste.m3u"), 4, QStringLiteral("beste"));
    const QStringList before = items();
    m_answers << answer;
    m_choices = choices;
    window().Imairek_MouseUp();
    QString shown;
    for (const Dialog& dialog : m_dialogs)
        shown += dialog.kind == CommonDialog::Kind::Save ? QLatin1Char('S') : QLatin1Char('O');
    QCOMPARE(shown, dialogs);
    QCOMPARE(m_messages.size(), messages);
    if (changed) {
        QCOMPARE(m_messages.first().prompt, QStringLiteral("Gorde nahi duzu zerrenda hau?"));
        QCOMPARE(m_messages.first().style, 35);
        QCOMPARE(m_messages.first().title, QStringLiteral("Ireki..."));
    }
    QCOMPARE(items(), replaced ? numbered(QStringLiteral("beste"), 4) : before);
    QCOMPARE(window().Imagord->isHidden(), replaced || !changed);
    QCOMPARE(window().SavedCount(), replaced ? 4 : 3);
    if (dialogs == QStringLiteral("SO"))
        QCOMPARE(contentsOf(pathOf(QStringLiteral("gordea.m3u"))).count('\n'), 5);
}

void tst_zerrenda::failures_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("target");
    QTest::newRow("save into a folder") << true << QStringLiteral("karpeta");
    QTest::newRow("save under a missing folder") << true << QStringLiteral("ez-dago/a.m3u");
    QTest::newRow("save onto a device") << true << QStringLiteral("/dev/full");
    QTest::newRow("open a missing file") << false << QStringLiteral("ez-dago.m3u");
    QTest::newRow("open a folder") << false << QStringLiteral("karpeta");
}

// A failed save or open says why under "Okerra" and leaves the list, its mark and the files
// on disk as they were.
void tst_zerrenda::failures()
{
    QFETCH(bool, save);
    QFETCH(QString, target);
    if (target.startsWith(u'/') && !QFile::exists(target))
        QSKIP("This machine has no /dev/full.");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("karpeta")));
    startWith(3, 2);
    const QStringList before = items();
    const QByteArray file = contentsOf(pathOf(QStringLiteral("hasiera.m3u")));
    m_choices << target;
    QVERIFY(!(save ? window().Imagord_baziak() : window().imairek_baziak()));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().title, QStringLiteral("Okerra"));
    const QString what = save ? QStringLiteral("Ezin izan da zerrenda gorde: ")
                              : QStringLiteral("Ezin izan da zerrenda ireki: ");
    QVERIFY2(m_messages.first().prompt.startsWith(what), qPrintable(m_messages.first().prompt));
    QCOMPARE(items(), before);
    QVERIFY(!window().Imagord->isHidden());
    QCOMPARE(window().SavedCount(), 3);
    QCOMPARE(contentsOf(pathOf(QStringLiteral("hasiera.m3u"))), file);
    QVERIFY(QFileInfo(pathOf(QStringLiteral("karpeta"))).isDir());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("hasiera.m3u")});
}

// While the save dialog is open, a timer or another window starts every file command again:
// none of them runs, and the save goes on to write the list as it was.
void tst_zerrenda::fileCommandsWaitTheirTurn()
{
    startWith(3, 2);
    const QStringList before = items();
    QList<bool> nested;
    m_duringDialog = [this, &nested] {
        nested << window().Imagord_baziak() << window().imairek_baziak();
        window().Imaberr_MouseUp();
        window().Imairek_MouseUp();
    };
    m_choices << QStringLiteral("gordea.m3u") << QStringLiteral("hasiera.m3u");
    QVERIFY(window().Imagord_baziak());
    QCOMPARE(nested, (QList<bool>{false, false}));
    QCOMPARE(m_dialogs.size(), 1);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(items(), before);
    QCOMPARE(contentsOf(pathOf(QStringLiteral("gordea.m3u"))).count('\n'), 5);
}

QTEST_MAIN(tst_zerrenda)
#include "tst_zerrenda.moc"
