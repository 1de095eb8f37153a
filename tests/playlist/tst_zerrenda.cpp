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
    // Message boxes as "title(style)", dialogs as "Save" or "Open", in the order shown.
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
    // change watch ran.
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
        WindowTest::answers().dialog = ([this](const CommonDialog&, CommonDialog::Kind kind) {
            m_log << (kind == CommonDialog::Kind::Save ? u"Save"_s : u"Open"_s);
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
        Row::add("first up: no change", "4|0|up|0123|-k-b");
        Row::add("last down: no change", "4|3|down|0123|-kg-");
        Row::add("remove from an opened list: marked", "4|1|remove|023|G-gb");
        Row::add("remove every other", "-6|0 2 4|remove|135|G---");
        Row::add("remove all of a new list: unmarked", "-6|0-5|remove||----");
    }

    // count songs opened from a file, or -count added to a new list (which marks it). Guards
    // the rule for which buttons are offered, a move that loses a song or leaves the list
    // marked saved, a remove of the wrong rows, and the change watch missing a new count.
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

    // Over 3 opened songs, 2 more added unless the answer is 0 (6 Yes, 7 No, 2 Cancel).
    // Fields: new or open, the answer, the dialogs' picks ("" cancels, "." cannot be saved),
    // what was shown ("?" the save question), the state after.
    void replaceList_data()
    {
        Row::columns();
        Row::add("new, clean list", "new|0|||0 -");
        Row::add("new, Yes, saved", "new|6|gordea.m3u|? Save|0 -");
        Row::add("new, No", "new|7||?|0 -");
        Row::add("open, clean: opens at once", "open|0|beste.m3u|Open|4 -");
        Row::add("open, Yes: saves, then opens", "open|6|gordea.m3u,beste.m3u|? Save Open|4 -");
        Row::add("open, Yes, save cancelled", "open|6||? Save|5 G");
        Row::add("open, Yes, save failed", "open|6|.|? Save Okerra(16)|5 G");
        Row::add("open, No: opens", "open|7|beste.m3u|? Open|4 -");
        Row::add("open, No, open cancelled", "open|7||? Open|5 G");
        Row::add("open, No, open failed", "open|7|ez-dago.m3u|? Open Okerra(16)|5 G");
        Row::add("open, Cancel", "open|2||?|5 G");
    }

    // Guards a list with unsaved changes dropped on Cancel or after a failed save, and an
    // opened list left marked unsaved.
    void replaceList()
    {
        const Row row;
        startWith(3, row.number(1) != 0 ? 2 : 0);
        putList(u"beste.m3u"_s, 4, u"beste"_s);
        m_answers << row.number(1);
        m_choices = row[2].split(u',');
        if (row[0] == u"new"_s)
            window().Imaberr_MouseUp();
        else
            window().Imairek_MouseUp();
        QCOMPARE(m_log.join(u' '), QString(row[3]).replace(u'?', u"Ireki...(35)"_s));
        QCOMPARE(state(), row[4]);
        if (row[2].startsWith(u"gordea.m3u"_s))
            QCOMPARE(PlaylistFile::read(pathOf(u"gordea.m3u"_s)).valueOr({}).size(), 5);
    }

    // Guards relative names in a list looked up outside its folder, and a cancelled dialog
    // forgetting the path chosen last, where the next one starts.
    void dialogPathAndFolder()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(u"beste"_s));
        QVERIFY(QFile(pathOf(u"beste/kanta.mp3"_s)).open(QIODevice::WriteOnly));
        QCOMPARE(PlaylistFile::write(pathOf(u"beste/erlatiboa.m3u"_s), {u"kanta.mp3"_s}).error(),
                 QString());
        m_choices = QStringList{u"beste/erlatiboa.m3u"_s, QString()};
        QVERIFY(window().imairek_baziak());
        QVERIFY(QFileInfo(window().List(0)).isFile());
        QVERIFY(!window().Imagord_baziak());
        QCOMPARE(window().diago->FileName, pathOf(u"beste/erlatiboa.m3u"_s));
    }

    // Guards a click that leaves the selection as it was not rerunning the button rule: the
    // one selected song has gained somewhere to move since.
    void clickAfterTheListGrew()
    {
        startWith(1, 0);
        window().lista->item(0)->setSelected(true);
        window().appendItems(numbered(u"berri"_s, 2));
        QTest::mouseClick(window().lista->viewport(), Qt::LeftButton, {},
                          window().lista->visualItemRect(window().lista->item(0)).center());
        QCOMPARE(flags(window()), u"-k-b"_s);
    }

    // Guards the list taking a song over 32,767 or telling the user of none left out.
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
    }

    // Guards a second file command run from a timer or another window while the save dialog
    // is open: none may run, and the save still writes the list as it was.
    void fileCommandsWaitTheirTurn()
    {
        startWith(3, 2);
        m_duringDialog = [this] {
            QVERIFY(!window().Imagord_baziak() && !window().imairek_baziak());
            window().Imaberr_MouseUp();
            window().Imairek_MouseUp();
        };
        m_choices << u"gordea.m3u"_s << u"hasiera.m3u"_s;
        QVERIFY(window().Imagord_baziak());
        QCOMPARE(m_log, QStringList{u"Save"_s});
        QCOMPARE(state(), u"5 -"_s);
        QCOMPARE(PlaylistFile::read(pathOf(u"gordea.m3u"_s)).valueOr({}).size(), 5);
    }
};

QTEST_MAIN(tst_zerrenda)
#include "tst_zerrenda.moc"