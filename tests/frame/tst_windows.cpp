// The windows as the user first meets them: their sizes and words, the splash that starts the
// program, and the image buttons every window is driven by.
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/ImageButton.h"
#include "frame/Pictures.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<FormWindow*> allWindows()
{
    return {&Form<Sarrera>(), &Form<extrak>(),   &Form<Egilea>(),
            &Form<Mahaia>(),  &Form<zerrenda>(), &Form<artxiboak>()};
}

QImage iconImage(const QString& folder, const QString& file)
{
    return Pictures::readIconFile(QCoreApplication::applicationDirPath() + u'/' + folder + u'/' +
                                  file)
        .pixmap(16, 16)
        .toImage();
}

// What a control says: a button's caption, a label's text, or else its tooltip.
QString wordsOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label != nullptr && !label->text().isEmpty() ? label->text() : widget->toolTip();
}

} // namespace

class tst_windows : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTest::reset(); }

    // A window of the wrong size leaves gaps between the bar and the windows above it.
    void sizes()
    {
        const QList<QSize> outer = {{104, 102}, {93, 49},   {188, 133},
                                    {212, 37},  {212, 234}, {212, 239}};
        const QList<FormWindow*> windows = allWindows();
        for (int at = 0; at < windows.size(); ++at) {
            QCOMPARE(windows.at(at)->size(), outer.at(at));
            QCOMPARE(windows.at(at)->maximumSize(), outer.at(at));
            QVERIFY(windows.at(at)->isHidden());
        }
    }

    // Every word the user reads or hears, and whether the control starts out offered; a
    // screen reader knows an image button by its tooltip.
    void words()
    {
        const QString expected = QStringLiteral(
            "Mahaia.Lblabe=0/0|Mahaia.Lblinfo=Ez dago abestirik...|Mahaia.Lblahot=Bolumena|"
            "Mahaia.Imagora=Bolumena igo|Mahaia.Imabera=Bolumena jeitsi|Mahaia.Imaatze=Atzera|"
            "Mahaia.Imahasi=Hasi|Mahaia.Imapaus=Gelditu|Mahaia.Imastop=Amaitu|"
            "Mahaia.Imaaurr=Aurrera|Mahaia.Imazerr=Zerrenda|Mahaia.Imabehe=Txikiagotu|"
            "Mahaia.Imaegil=Egilea|Mahaia.Imairte=Irten|zerrenda.Imaberr=Berria|"
            "zerrenda.Imairek=Ireki|zerrenda.Imagord=Gorde-|zerrenda.Imagehi=Gehitu|"
            "zerrenda.Imakend=Kendu-|zerrenda.Imagora=Gora-|zerrenda.Imabera=Behera-|"
            "zerrenda.Imaitxi=Itxi|artxiboak.Imagehitu=Gehitu-|artxiboak.Imautzi=Itxi|"
            "Egilea.lblURL(1)=ixomp3.example.org|Egilea.lblURL(0)=taldea@ixomp3.example.org|"
            "Egilea.cmdok=Ados!");
        for (const QString& entry : expected.split(u'|')) {
            const QString window = entry.section(u'.', 0, 0);
            const QString control = entry.section(u'.', 1).section(u'=', 0, 0);
            FormWindow* form = nullptr;
            for (FormWindow* candidate : allWindows())
                form = candidate->objectName() == window ? candidate : form;
            const auto* widget = form->findChild<QWidget*>(control);
            QVERIFY2(widget != nullptr, qPrintable(entry));
            const bool offered = !entry.endsWith(u'-');
            QCOMPARE(window + u'.' + control + u'=' + wordsOf(widget) + (offered ? u""_s : u"-"_s),
                     entry);
            QCOMPARE(widget->isVisibleTo(form), offered);
            if (qobject_cast<const ImageButton*>(widget) != nullptr)
                QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget))
                             ->text(QAccessible::Name),
                         widget->toolTip());
        }
        QStringList menu;
        for (const QAction* item : Form<Mahaia>().menua->actions())
            menu << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(menu.join(u' '),
                 QStringLiteral("Haundiagotu - Aurrera Amaitu Gelditu Hasi Atzera"));
    }

    // The splash loads every other window hidden, stays for one tick and gives way to the bar
    // on the second; activated again, it counts anew and reloads nothing.
    void splash()
    {
        Sarrera& splash = Form<Sarrera>();
        splash.show();
        QTRY_VERIFY(WindowRegistry::instance().isLoaded<Egilea>());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY((splash.geometry().center() - screen.center()).manhattanLength() <= 2);
        for (FormWindow* window : allWindows().mid(1))
            QVERIFY2(window->isHidden(), qPrintable(window->objectName()));
        Form<zerrenda>().lista->addItem(QStringLiteral("/music/a.mp3"));
        splash.Timi_Timer();
        splash.Form_Activate();
        splash.Timi_Timer();
        QVERIFY(WindowRegistry::instance().isLoaded<Sarrera>());
        QVERIFY(Form<Mahaia>().isHidden());
        splash.Timi_Timer();
        QVERIFY(!WindowRegistry::instance().isLoaded<Sarrera>());
        QVERIFY(Form<Mahaia>().isVisible());
        QCOMPARE(Form<zerrenda>().ListCount(), 1);
    }

    // Any mouse button: pressed picture while held, the normal one and the command on release,
    // wherever the pointer went meanwhile.
    void imageButtonPress_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<QPoint>("releasedAt");
        QTest::newRow("left") << Qt::LeftButton << QPoint(8, 8);
        QTest::newRow("right, released off the button") << Qt::RightButton << QPoint(300, -40);
        QTest::newRow("middle") << Qt::MiddleButton << QPoint(8, 8);
    }

    void imageButtonPress()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(QPoint, releasedAt);
        Mahaia& bar = Form<Mahaia>();
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(u"pictures/buttons"_s, u"zerrenda.ico"_s));
        QTest::mousePress(bar.Imazerr, mouseButton);
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(u"irudiak"_s, u"zerrenda1.ico"_s));
        QVERIFY(Form<zerrenda>().isHidden());
        QTest::mouseRelease(bar.Imazerr, mouseButton, {}, releasedAt);
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(u"irudiak"_s, u"zerrenda.ico"_s));
        QVERIFY(Form<zerrenda>().isVisible());
    }

    // Play opens the song while its button still shows pressed.
    void playOpensBeforeItsPictureIsRestored()
    {
        ScriptedMedia* player = nullptr;
        WindowTest::answers().media = [&](QObject* host) {
            return player = new ScriptedMedia(host);
        };
        Form<zerrenda>().lista->addItem(QStringLiteral("/music/a.mp3"));
        Mahaia& bar = Form<Mahaia>();
        bar.Timi_Timer();
        QString pictureWhenOpened;
        player->onOpen = [&] { pictureWhenOpened = bar.Imahasi->pictureFile(); };
        QTest::mouseClick(bar.Imahasi, Qt::LeftButton);
        QCOMPARE(player->calls, QStringList{QStringLiteral("Open(/music/a.mp3)")});
        QCOMPARE(pictureWhenOpened, QStringLiteral("play1.ico"));
        QCOMPARE(bar.Imahasi->pictureFile(), QStringLiteral("play.ico"));
    }

    // A missing icon file keeps the picture shown, is told once, and the program goes on.
    void missingIcon()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WindowTest::programFolderWithout(folder.path(), {QStringLiteral("zerrenda1.ico")});
        WindowTest::answers().programFolder = (folder.path());
        Mahaia& bar = Form<Mahaia>();
        const QImage before = bar.Imazerr->pictureImage();
        QTest::mousePress(bar.Imazerr, Qt::LeftButton);
        QCOMPARE(bar.Imazerr->pictureImage(), before);
        QTest::mouseRelease(bar.Imazerr, Qt::LeftButton);
        QCOMPARE(bar.Imazerr->pictureFile(), QStringLiteral("zerrenda.ico"));
        QVERIFY(Form<zerrenda>().isVisible());
        QVERIFY(!WindowRegistry::instance().firstReport(folder.path() +
                                                        QStringLiteral("/irudiak/zerrenda1.ico")));
    }
};

QTEST_MAIN(tst_windows)
#include "tst_windows.moc"
