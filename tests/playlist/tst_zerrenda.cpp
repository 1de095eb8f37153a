#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/PlaylistFile.h"
#include "playlist/zerrenda.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString SaveDialog = QStringLiteral("Gorde...|281006|Mp3 zerrenda (*.m3u)|*.m3u");
const QString OpenDialog = QStringLiteral("Ireki...|281004|Mp3 zerrenda (*.m3u)|*.m3u");

QStringList numbered(const QString& stem, int count)
{
    QStringList names;
    for (int at = 0; at < count; ++at)
        names << QStringLiteral("/musika/%1%2.mp3").arg(stem).arg(at);
    return names;
}

// Which of save (G), remove (k), up (g) and down (b) are offered; "-" for a hidden one.
QString flags(const zerrenda& playlist)
{
    const ImageButton* buttons[] = {playlist.Imagord, playlist.Imakend, playlist.Imagora,
                                    playlist.Imabera};
    QString shown = QStringLiteral("Gkgb");
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

    static QString text(const char* utf8) { return QString::fromUtf8(utf8); }
    zerrenda& window() { return Form<zerrenda>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }

    void putList(const QString& name, int count, const QString& stem)
    {
        QCOMPARE(PlaylistFile::write(pathOf(name), numbered(stem, count)), QString());
    }

    // A list opened from a file of `opened` songs, then `added` more as the browser adds them.
    void startWith(int opened, int added)
    {
        putList(QStringLiteral("hasiera.m3u"), opened, QStringLiteral("zahar"));
        m_choices << QStringLiteral("hasiera.m3u");
        QVERIFY(window().imairek_baziak());
        window().appendItems(numbered(QStringLiteral("berri"), added));
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
               (window().Imagord->isHidden() ? QStringLiteral(" -") : QStringLiteral(" G"));
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
    // choices: the dialogs' picks ("" cancels, "." cannot be saved); "?": the save question.
    static void answerRow(const char* name, int answer, const char* choices, const char* log,
                          const char* after)
    {
        QTest::newRow(name) << answer << text(choices)
                            << text(log).replace(u'?', QStringLiteral("Ireki...(35)"))
                            << text(after);
    }

    static void answerColumns()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("after");
    }

    void answerTable(void (zerrenda::*button)())
    {
        QFETCH(int, answer);
        QFETCH(QString, choices);
        QFETCH(QString, log);
        QFETCH(QString, after);
        startWith(3, answer != 0 ? 2 : 0);
        putList(QStringLiteral("beste.m3u"), 4, QStringLiteral("beste"));
        m_answers << answer;
        m_choices = choices.split(u',');
        (window().*button)();
        QCOMPARE(m_log.join(u' '), log);
        QCOMPARE(state(), after);
        if (choices.startsWith(QStringLiteral("gordea.m3u")))
            QCOMPARE(PlaylistFile::read(pathOf(QStringLiteral("gordea.m3u"))).items.size(), 5);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_log = m_choices = QStringList();
        m_answers.clear();
        WindowTest::answers().message = ([this](const QString&, int style, const QString& title) {
            m_log << QStringLiteral("%1(%2)").arg(title).arg(style);
            return m_answers.isEmpty() ? MsgBox::Ok : m_answers.takeFirst();
        });
        WindowTest::answers().dialog =
            ([this](const CommonDialog& dialog, CommonDialog::Kind kind) {
                const bool save = kind == CommonDialog::Kind::Save;
                const QString setUp =
                    QStringLiteral("%1|%2|%3")
                        .arg(dialog.DialogTitle, QString::number(dialog.Flags, 16), dialog.Filter);
                const QString kindName = save ? QStringLiteral("Save") : QStringLiteral("Open");
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

    void editList_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, int count, const char* selection, const char* action,
                            const char* order, const char* shown) {
            QTest::newRow(name) << count << text(selection) << text(action) << text(order)
                                << text(shown);
        };
        row("one item", 1, "0", "", "0", "-k--");
        row("middle", 5, "2", "", "01234", "-kgb");
        row("range less both ends", 5, "1-3 ~1 ~3", "", "01234", "-kgb");
        row("range less its middle", 5, "1-3 ~2", "", "01234", "-k--");
        row("none", 5, "", "", "01234", "----");
        row("second up", 4, "1", "up", "1023", "Gk-b");
        row("next to last down", 4, "2", "down", "0132", "Gkg-");
        row("two selected: the first moves", 4, "1 3", "up", "1023", "Gk-b");
        row("first up: no change", 4, "0", "up", "0123", "-k-b");
        row("last down: no change", 4, "3", "down", "0123", "-kg-");
        row("nothing selected: no move", 4, "", "down", "0123", "----");
        row("remove from an opened list: marked", 4, "1", "remove", "023", "G-gb");
        row("remove none", -6, "", "remove", "012345", "G---");
        row("remove every other", -6, "0 2 4", "remove", "135", "G---");
        row("remove all of a new list: unmarked", -6, "0-5", "remove", "", "----");
    }

    // count songs opened from a file, or -count added to a new list (which marks it). Remove
    // is offered for any selection, a move for one song with somewhere to go; a move swaps it
    // with its neighbour, keeps it selected and marks the list. Then the change watch runs: it
    // marks a list whose count differs from the one saved and never clears the mark.
    void editList()
    {
        QFETCH(int, count);
        QFETCH(QString, selection);
        QFETCH(QString, action);
        QFETCH(QString, order);
        QFETCH(QString, shown);
        startWith(std::max(count, 0), std::max(-count, 0));
        const QStringList before = items();
        select(selection);
        if (action == QStringLiteral("up"))
            window().Imagora_MouseUp();
        else if (action == QStringLiteral("down"))
            window().Imabera_MouseUp();
        else if (action == QStringLiteral("remove"))
            window().Imakend_MouseUp();
        window().Timi3_Timer();
        QStringList expected;
        for (const QChar at : order)
            expected << before.at(at.digitValue());
        QCOMPARE(items(), expected);
        QCOMPARE(flags(window()), shown);
    }

    // A chosen list's folder becomes the current one, so the relative names in it are found;
    // a cancel keeps the path chosen last, for the next dialog to start at.
    void dialogPathAndFolder()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("beste")));
        QVERIFY(QFile(pathOf(QStringLiteral("beste/kanta.mp3"))).open(QIODevice::WriteOnly));
        QCOMPARE(PlaylistFile::write(pathOf(QStringLiteral("beste/erlatiboa.m3u")),
                                     {QStringLiteral("kanta.mp3")}),
                 QString());
        m_choices = QStringList{QStringLiteral("beste/erlatiboa.m3u"), QString()};
        QVERIFY(window().imairek_baziak());
        QCOMPARE(QDir::currentPath(), pathOf(QStringLiteral("beste")));
        QVERIFY(QFileInfo(window().List(0)).isFile());
        QVERIFY(!window().Imagord_baziak());
        QCOMPARE(window().diago->FileName, pathOf(QStringLiteral("beste/erlatiboa.m3u")));
        QCOMPARE(items(), QStringList{QStringLiteral("kanta.mp3")});
    }

    // A click on the one selected song after more were added offers to move it down, though
    // the click leaves the selection as it was.
    void clickAfterTheListGrew()
    {
        startWith(1, 0);
        window().lista->item(0)->setSelected(true);
        window().appendItems(numbered(QStringLiteral("berri"), 2));
        QTest::mouseClick(window().lista->viewport(), Qt::LeftButton, {},
                          window().lista->visualItemRect(window().lista->item(0)).center());
        QCOMPARE(flags(window()), QStringLiteral("-k-b"));
    }

    // The list keeps the first songs up to 32,767 and tells the user what was left out.
    void limit()
    {
        const int max = zerrenda::MaxItems;
        window().appendItems(numbered(QStringLiteral("a"), max - 5));
        window().appendItems(numbered(QStringLiteral("f"), 5));
        QCOMPARE(window().ListCount(), max);
        QCOMPARE(m_log, QStringList{});
        window().appendItems(numbered(QStringLiteral("g"), 1));
        QCOMPARE(window().List(max - 1), QStringLiteral("/musika/f4.mp3"));
        QCOMPARE(m_log, QStringList{QStringLiteral("Okerra(0)")});
        putList(QStringLiteral("luzea.m3u"), max + 2, QStringLiteral("f"));
        m_choices << QStringLiteral("luzea.m3u");
        QVERIFY(window().imairek_baziak());
        QCOMPARE(window().ListCount(), max);
        QCOMPARE(window().List(max - 1), QStringLiteral("/musika/f32766.mp3"));
        QCOMPARE(state(), QString::number(max) + QStringLiteral(" -"));
        QCOMPARE(m_log.join(u' '), QStringLiteral("Okerra(0) Open Okerra(0)"));
    }

    void newList_data()
    {
        answerColumns();
        answerRow("clean list", 0, "", "", "0 -");
        answerRow("Yes, saved", MsgBox::Yes, "gordea.m3u", "? Save", "0 -");
        answerRow("Yes, save cancelled", MsgBox::Yes, "", "? Save", "5 G");
        answerRow("Yes, save failed", MsgBox::Yes, ".", "? Save Okerra(16)", "5 G");
        answerRow("No", MsgBox::No, "", "?", "0 -");
        answerRow("Cancel", MsgBox::Cancel, "", "?", "5 G");
    }
    void newList() { answerTable(&zerrenda::Imaberr_MouseUp); }

    void openButton_data()
    {
        answerColumns();
        answerRow("clean: opens at once", 0, "beste.m3u", "Open", "4 -");
        answerRow("Yes: saves, then opens", MsgBox::Yes, "gordea.m3u,beste.m3u", "? Save Open",
                  "4 -");
        answerRow("Yes, save cancelled: no open", MsgBox::Yes, "", "? Save", "5 G");
        answerRow("Yes, save failed: no open", MsgBox::Yes, ".", "? Save Okerra(16)", "5 G");
        answerRow("No: opens", MsgBox::No, "beste.m3u", "? Open", "4 -");
        answerRow("No, open cancelled: keeps the mark", MsgBox::No, "", "? Open", "5 G");
        answerRow("No, open failed: keeps the mark", MsgBox::No, "ez-dago.m3u", "? Open Okerra(16)",
                  "5 G");
        answerRow("Cancel", MsgBox::Cancel, "", "?", "5 G");
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
        m_choices << QStringLiteral("gordea.m3u") << QStringLiteral("hasiera.m3u");
        QVERIFY(window().Imagord_baziak());
        QCOMPARE(nested, (QList<bool>{false, false}));
        QCOMPARE(m_log, QStringList{QStringLiteral("Save")});
        QCOMPARE(state(), QStringLiteral("5 -"));
        QCOMPARE(PlaylistFile::read(pathOf(QStringLiteral("gordea.m3u"))).items.size(), 5);
    }
};

QTEST_MAIN(tst_zerrenda)
#include "tst_zerrenda.moc"
