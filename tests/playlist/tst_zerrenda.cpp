#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/PlaylistFile.h"
#include "playlist/zerrenda.h"
#include "support/Row.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString SaveDialog = u"Gorde...|281006|Mp3 zerrenda (*.m3u)|*.m3u"_s;
const QString OpenDialog = u"Ireki...|281004|Mp3 zerrenda (*.m3u)|*.m3u"_s;

QStringList numbered(const QString& stem, int count)
{
    QStringList names;
    for (int at = 0; at < count; ++at)
        names << u"/musika/%1%2.mp3"_s.arg(stem).arg(at);
    return names;
}

// Which of save (G), remove (k), up (g) and down (b) are offered; "-" for a hidden one.
QString flags(const zerrenda& playlist)
{
    const ImageButton* buttons[] = {playlist.Imagord, playlist.Imakend, playlist.Imagora,
                                    playlist.Imabera};
    QString shown = u"Gkgb"_s;
    for (int at = 0; at < 4; ++at)
        shown[at] = buttons[at]->isHidden() ? QChar(u'-') : shown.at(at);
    return shown;
}

} // namespace

// The playlist window driven through its handlers, with scripted dialogs and message boxes.
class tst_zerrenda : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    // Message boxes as "title(style)", dialogs as "Save" or "Open" (their whole set-up when it
    // is not the expected one), in the order they were shown.
    QStringList m_log;
    QList<int> m_answers;
    QStringList m_choices; // file names in the test's folder; "" cancels
    std::function<void()> m_duringDialog;

    zerrenda& window() { return Form<zerrenda>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }

    void putList(const QString& name, int count, const QString& stem)
    {
        QCOMPARE(PlaylistFile::write(pathOf(name), numbered(stem, count)).error(), QString());
    }

    // A list opened from a file of `opened` songs, then `added` more as the browser adds them.
    void startWith(int opened, int added)
    {
        putList(u"hasiera.m3u"_s, opened, u"zahar"_s);
        m_choices << u"hasiera.m3u"_s;
        QVERIFY(window().imairek_baziak());
        window().appendItems(numbered(u"berri"_s, added));
        window().Imagord->setVisible(added > 0);
        m_log.clear();
    }

    QStringList items()
    {
        QStringList texts;
        for (int row = 0; row < window().ListCount(); ++row)
            texts << window().List(row);
        return texts;
    }

    // "count mark", the mark being G while the list is flagged as unsaved, read after the
    // change watch ran: a list whose count differs from the one saved gets marked.
    QString state()
    {
        window().Timi3_Timer();
        return QString::number(window().ListCount()) +
               (window().Imagord->isHidden() ? u" -"_s : u" G"_s);
    }

    // After a selection of row 0 is cleared, steps as a user takes them: "2" ticks a row, "1-3"
    // a range (Shift), "~2" toggles a row (Ctrl), leaving the selection in pieces of ranges.
    void select(const QString& script)
    {
        QItemSelectionModel* model = window().lista->selectionModel();
        const QAbstractItemModel* rows = window().lista->model();
        model->select(rows->index(0, 0), QItemSelectionModel::ClearAndSelect);
        model->clearSelection();
        for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
            const bool toggle = step.startsWith(u'~');
            const QStringList ends = step.mid(toggle ? 1 : 0).split(u'-');
            model->select(QItemSelection(rows->index(ends.first().toInt(), 0),
                                         rows->index(ends.last().toInt(), 0)),
                          toggle ? QItemSelectionModel::Toggle : QItemSelectionModel::Select);
        }
    }

    // New list and the open button over 3 opened songs, 2 more added unless the answer is 0.
    // Fields: the answer, the dialogs' picks ("" cancels, "." cannot be saved), what was shown
    // ("?" the save question), the state after.
    void answerTable(void (zerrenda::*button)())
    {
        const Row row;
        startWith(3, row.number(0) != 0 ? 2 : 0);
        putList(u"beste.m3u"_s, 4, u"beste"_s);
        m_answers << row.number(0);
        m_choices = row[1].split(u',');
        (window().*button)();
        QCOMPARE(m_log.join(u' '), QString(row[2]).replace(u'?', u"Ireki...(35)"_s));
        QCOMPARE(state(), row[3]);
        if (row[1].startsWith(u"gordea.m3u"_s))
            QCOMPARE(PlaylistFile::read(pathOf(u"gordea.m3u"_s)).valueOr({}).size(), 5);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_log = m_choices = QStringList();
        m_answers.clear();
        WindowTest::answers().message = ([this](const QString&, int style, const QString& title) {
            m_log << u"%1(%2)"_s.arg(title).arg(style);
            return m_answers.isEmpty() ? MsgBox::Ok : m_answers.takeFirst();
        });
        WindowTest::answers().dialog =
            ([this](const CommonDialog& dialog, CommonDialog::Kind kind) {
                const bool save = kind == CommonDialog::Kind::Save;
                const QString setUp = u"%1|%2|%3"_s.arg(
                    dialog.DialogTitle, QString::number(dialog.Flags, 16), dialog.Filter);
                const QString kindName = save ? u"Save"_s : u"Open"_s;
                m_log << (setUp == (save ? SaveDialog : OpenDialog) ? kindName : setUp);
                if (m_duringDialog)
                    std::exchange(m_duringDialog, {})();
                const QString name = m_choices.isEmpty() ? QString() : m_choices.takeFirst();
                return name.isEmpty() ? name : pathOf(name);
            });
    }

    void cleanup()
    {
        WindowRegistry::instance().unloadAll();
        WindowTest::answers().message = {};
        m_duringDialog = {};
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    }

    // Fields: songs, the selection, the action, the order after, the buttons shown.
    void editList_data()
    {
        Row::columns();
        Row::add("one item", "1|0||0|-k--");
        Row::add("middle", "5|2||01234|-kgb");
        Row::add("range less both ends", "5|1-3 ~1 ~3||01234|-kgb");
        Row::add("range less its middle", "5|1-3 ~2||01234|-k--");
        Row::add("none", "5|||01234|----");
        Row::add("second up", "4|1|up|1023|Gk-b");
        Row::add("next to last down", "4|2|down|0132|Gkg-");
        Row::add("two selected: the first moves", "4|1 3|up|1023|Gk-b");
        Row::add("first up: no change", "4|0|up|0123|-k-b");
        Row::add("last down: no change", "4|3|down|0123|-kg-");
        Row::add("nothing selected: no move", "4||down|0123|----");
        Row::add("remove from an opened list: marked", "4|1|remove|023|G-gb");
        Row::add("remove none", "-6||remove|012345|G---");
        Row::add("remove every other", "-6|0 2 4|remove|135|G---");
        Row::add("remove all of a new list: unmarked", "-6|0-5|remove||----");
    }

    // count songs opened from a file, or -count added to a new list (which marks it). Remove
    // is offered for any selection, a move for one song with somewhere to go; a move swaps it
    // with its neighbour, keeps it selected and marks the list. Then the change watch runs: it
    // marks a list whose count differs from the one saved and never clears the mark.
    void editList()
    {
        const Row row;
        const int count = row.number(0);
        const QString action = row[2];
        startWith(std::max(count, 0), std::max(-count, 0));
        const QStringList before = items();
        select(row[1]);
        if (action == u"up"_s)
            window().Imagora_MouseUp();
        else if (action == u"down"_s)
            window().Imabera_MouseUp();
        else if (action == u"remove"_s)
            window().Imakend_MouseUp();
        window().Timi3_Timer();
        QStringList expected;
        for (const QChar at : row[3])
            expected << before.at(at.digitValue());
        QCOMPARE(items(), expected);
        QCOMPARE(flags(window()), row[4]);
    }

    // A chosen list's folder becomes the current one, so the relative names in it are found;
    // a cancel keeps the path chosen last, for the next dialog to start at.
    void dialogPathAndFolder()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(u"beste"_s));
        QVERIFY(QFile(pathOf(u"beste/kanta.mp3"_s)).open(QIODevice::WriteOnly));
        QCOMPARE(PlaylistFile::write(pathOf(u"beste/erlatiboa.m3u"_s), {u"kanta.mp3"_s}).error(),
                 QString());
        m_choices = QStringList{u"beste/erlatiboa.m3u"_s, QString()};
        QVERIFY(window().imairek_baziak());
        QCOMPARE(QDir::currentPath(), pathOf(u"beste"_s));
        QVERIFY(QFileInfo(window().List(0)).isFile());
        QVERIFY(!window().Imagord_baziak());
        QCOMPARE(window().diago->FileName, pathOf(u"beste/erlatiboa.m3u"_s));
        QCOMPARE(items(), QStringList{u"kanta.mp3"_s});
    }

    // A click on the one selected song after more were added offers to move it down, though
    // the click leaves the selection as it was.
    void clickAfterTheListGrew()
    {
        startWith(1, 0);
        window().lista->item(0)->setSelected(true);
        window().appendItems(numbered(u"berri"_s, 2));
        QTest::mouseClick(window().lista->viewport(), Qt::LeftButton, {},
                          window().lista->visualItemRect(window().lista->item(0)).center());
        QCOMPARE(flags(window()), u"-k-b"_s);
    }

    // The list keeps the first songs up to 32,767 and tells the user what was left out.
    void limit()
    {
        const int max = zerrenda::MaxItems;
        window().appendItems(numbered(u"a"_s, max - 5));
        window().appendItems(numbered(u"f"_s, 5));
        QCOMPARE(window().ListCount(), max);
        QCOMPARE(m_log, QStringList{});
        window().appendItems(numbered(u"g"_s, 1));
        QCOMPARE(window().List(max - 1), u"/musika/f4.mp3"_s);
        QCOMPARE(m_log, QStringList{u"Okerra(0)"_s});
        putList(u"luzea.m3u"_s, max + 2, u"f"_s);
        m_choices << u"luzea.m3u"_s;
        QVERIFY(window().imairek_baziak());
        QCOMPARE(window().ListCount(), max);
        QCOMPARE(window().List(max - 1), u"/musika/f32766.mp3"_s);
        QCOMPARE(state(), QString::number(max) + u" -"_s);
        QCOMPARE(m_log.join(u' '), u"Okerra(0) Open Okerra(0)"_s);
    }

    // 6 Yes, 7 No, 2 Cancel.
    void newList_data()
    {
        Row::columns();
        Row::add("clean list", "0|||0 -");
        Row::add("Yes, saved", "6|gordea.m3u|? Save|0 -");
        Row::add("Yes, save cancelled", "6||? Save|5 G");
        Row::add("Yes, save failed", "6|.|? Save Okerra(16)|5 G");
        Row::add("No", "7||?|0 -");
        Row::add("Cancel", "2||?|5 G");
    }
    void newList() { answerTable(&zerrenda::Imaberr_MouseUp); }

    void openButton_data()
    {
        Row::columns();
        Row::add("clean: opens at once", "0|beste.m3u|Open|4 -");
        Row::add("Yes: saves, then opens", "6|gordea.m3u,beste.m3u|? Save Open|4 -");
        Row::add("Yes, save cancelled: no open", "6||? Save|5 G");
        Row::add("Yes, save failed: no open", "6|.|? Save Okerra(16)|5 G");
        Row::add("No: opens", "7|beste.m3u|? Open|4 -");
        Row::add("No, open cancelled: keeps the mark", "7||? Open|5 G");
        Row::add("No, open failed: keeps the mark", "7|ez-dago.m3u|? Open Okerra(16)|5 G");
        Row::add("Cancel", "2||?|5 G");
    }
    void openButton() { answerTable(&zerrenda::Imairek_MouseUp); }

    // While the save dialog is open, a timer or another window starts every file command
    // again: none of them runs, and the save goes on to write the list as it was.
    void fileCommandsWaitTheirTurn()
    {
        startWith(3, 2);
        QList<bool> nested;
        m_duringDialog = [this, &nested] {
            nested << window().Imagord_baziak() << window().imairek_baziak();
            window().Imaberr_MouseUp();
            window().Imairek_MouseUp();
        };
        m_choices << u"gordea.m3u"_s << u"hasiera.m3u"_s;
        QVERIFY(window().Imagord_baziak());
        QCOMPARE(nested, (QList<bool>{false, false}));
        QCOMPARE(m_log, QStringList{u"Save"_s});
        QCOMPARE(state(), u"5 -"_s);
        QCOMPARE(PlaylistFile::read(pathOf(u"gordea.m3u"_s)).valueOr({}).size(), 5);
    }
};

QTEST_MAIN(tst_zerrenda)
#include "tst_zerrenda.moc"
