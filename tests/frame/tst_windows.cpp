// The windows as the user first meets them: their sizes and words, the splash that starts the
// program, and the image buttons every window is driven by. CTest runs the layout again on
// screens scaled 1.5 and 2 times (QT_SCALE_FACTOR).
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/ImageButton.h"
#include "frame/Language.h"
#include "frame/MsgBox.h"
#include "frame/Pictures.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/Row.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <qpa/qplatformscreen.h>

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

FormWindow* windowNamed(const QString& name)
{
    for (FormWindow* candidate : allWindows()) {
        if (candidate->objectName() == name)
            return candidate;
    }
    return nullptr;
}

// The pixel `depth` pixels in from one side (left, top, right, bottom) of a picture, `along`
// pixels from that side's start.
QPoint inFrom(int side, QSize size, int depth, int along)
{
    const QPoint points[] = {{depth, along},
                             {along, depth},
                             {size.width() - 1 - depth, along},
                             {along, size.height() - 1 - depth}};
    return points[side];
}

// What the window alone paints (background and frame, no controls), in device pixels.
QImage ownPainting(FormWindow* window)
{
    QPixmap canvas(window->deviceGeometry().size());
    canvas.setDevicePixelRatio(window->devicePixelRatioF());
    window->render(&canvas, {}, {}, QWidget::DrawWindowBackground);
    return canvas.toImage().convertToFormat(QImage::Format_RGB32);
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

    // The four windows a user sees with a frame, at their outer sizes.
    void layout_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("outer"); // in logical pixels
        QTest::newRow("bar") << u"Mahaia"_s << QSize(212, 37);
        QTest::newRow("playlist") << u"zerrenda"_s << QSize(212, 234);
        QTest::newRow("browser") << u"artxiboak"_s << QSize(212, 239);
        QTest::newRow("about") << u"Egilea"_s << QSize(188, 133);
    }

    // At the screen's scale: the window's size in device pixels, the bar on the work area's
    // last device pixels and the windows above it on its top edge, the frame's rings of whole
    // device pixels and the same on all four sides for their whole length, nothing of the
    // controls over it, and every caption within its control in its font (the bar's
    // at their widest: a three-digit count, a song under ten minutes, full volume).
    void layout()
    {
        QFETCH(QString, window);
        QFETCH(QSize, outer);
        Mahaia& bar = Form<Mahaia>();
        bar.Lblabe->setText(u"999/999"_s);
        bar.Lblden->setText(u"9:59/9:59"_s);
        bar.Lblahot->setText(u"% 100"_s);
        bar.show();
        FormWindow* form = windowNamed(window);
        form->show();
        const qreal ratio = form->devicePixelRatioF();
        const QRect device = form->deviceGeometry();
        QCOMPARE(form->size(), outer);
        QCOMPARE(device.size(), (QSizeF(outer) * ratio).toSize());
        const QRect workArea = QGuiApplication::primaryScreen()->handle()->availableGeometry();
        if (form == &bar)
            QCOMPARE(device.bottomRight(), workArea.bottomRight());
        else if (form != &Form<Egilea>())
            QCOMPARE(device.bottomLeft() + QPoint(0, 1), bar.deviceGeometry().topLeft());

        const QImage grab = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(grab.size(), device.size());
        if (const QString folder = qEnvironmentVariable("IXO_ARTEFACTS"); !folder.isEmpty()) {
            const QString path = u"%1/windows-%2x"_s.arg(folder).arg(ratio);
            QDir().mkpath(path);
            grab.save(path + u'/' + window + u".png"_s);
        }
        // Each ring's band along the whole of each side, the corners aside.
        const std::array<int, 3> ends = FormWindow::thinFrameRings(ratio);
        QVERIFY(ends.back() > 3 * ratio - 1 && ends.back() <= 3 * ratio);
        const QRgb light = qRgb(212, 208, 200);
        const QRgb colours[2][3] = {{light, qRgb(255, 255, 255), light},
                                    {qRgb(64, 64, 64), qRgb(128, 128, 128), light}};
        for (int side = 0; side < 4; ++side) {
            const int length = side % 2 == 0 ? grab.height() : grab.width();
            for (int depth = 0; depth < ends.back(); ++depth) {
                const int ring = depth < ends[0] ? 0 : depth < ends[1] ? 1 : 2;
                for (int along = ends.back(); along < length - ends.back(); ++along) {
                    const QPoint at = inFrom(side, grab.size(), depth, along);
                    QVERIFY2(grab.pixel(at) == colours[side / 2][ring],
                             qPrintable(
                                 u"side %1, ring %2 at %3,%4"_s.arg(side).arg(ring).arg(at.x()).arg(
                                     at.y())));
                }
            }
        }

        QList<QWidget*> captioned;
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                captioned << label;
        }
        for (QPushButton* button : form->findChildren<QPushButton*>())
            captioned << button;
        for (QWidget* control : captioned) {
            const QString text = wordsOf(control);
            QCOMPARE(QFontInfo(control->font()).family(), u"Liberation Sans"_s);
            const qreal needed = QFontMetricsF(control->font(), control).horizontalAdvance(text);
            QVERIFY2(needed <= control->contentsRect().width(),
                     qPrintable(u"%1: \"%2\" needs %3 px of %4"_s.arg(control->objectName(), text)
                                    .arg(needed)
                                    .arg(control->contentsRect().width())));
        }
        if (form == &Form<Egilea>())
            QCOMPARE(form->findChild<QLabel*>(u"Imaegi"_s)->pixmap().devicePixelRatio(), ratio);
    }

    // At 2x the backgrounds are the water drawn at 2x, not the 1x picture enlarged, in which
    // every aligned 2 x 2 block of device pixels is one colour.
    void crisp()
    {
        if (QGuiApplication::primaryScreen()->devicePixelRatio() != 2)
            QSKIP("for a screen scaled 2 times");
        for (FormWindow* form : {static_cast<FormWindow*>(&Form<Mahaia>()),
                                 static_cast<FormWindow*>(&Form<zerrenda>())}) {
            const QImage painted = ownPainting(form);
            const int frame = form->frameDevicePixels();
            int blocks = 0;
            int flat = 0;
            for (int y = frame; y + 1 < painted.height() - frame; y += 2) {
                for (int x = frame; x + 1 < painted.width() - frame; x += 2) {
                    const QRgb first = painted.pixel(x, y);
                    flat += painted.pixel(x + 1, y) == first && painted.pixel(x, y + 1) == first &&
                            painted.pixel(x + 1, y + 1) == first;
                    ++blocks;
                }
            }
            QVERIFY2(
                flat * 100 < blocks * 20,
                qPrintable(
                    u"%1: %2 of %3 blocks flat"_s.arg(form->objectName()).arg(flat).arg(blocks)));
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
            "Egilea.lblURL(1)=ixomp3.example.org|Egilea.lblURL(0)=ixomp3@example.org|"
            "Egilea.cmdok=Ados!");
        for (const QString& entry : expected.split(u'|')) {
            const QString window = entry.section(u'.', 0, 0);
            const QString control = entry.section(u'.', 1).section(u'=', 0, 0);
            FormWindow* form = windowNamed(window);
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

    // The answers read in Basque and keep their numbers; Qt's own words follow the user's
    // language where Qt has it (German), and stay English where it has not (Basque).
    void messageBoxes_data()
    {
        Row::columns(); // language | style | pressed | answer | answers shown | Qt's own word
        Row::add("yes", "|35|Bai|6|Bai Ez Utzi|File &name:");
        Row::add("no", "|35|Ez|7|Bai Ez Utzi|File &name:");
        Row::add("cancel", "|35|Utzi|2|Bai Ez Utzi|File &name:");
        Row::add("retry", "|21|Berriro saiatu|4|Berriro saiatu Utzi|File &name:");
        Row::add("retry, cancel", "|21|Utzi|2|Berriro saiatu Utzi|File &name:");
        Row::add("ok", "|16|Ados|1|Ados|File &name:");
        Row::add("German session", "de|35|Bai|6|Bai Ez Utzi|Datei&name:");
        Row::add("Basque session", "eu|35|Ez|7|Bai Ez Utzi|File &name:");
    }

    void messageBoxes()
    {
        const Row row;
        QLocale::setDefault(row[0].isEmpty() ? QLocale::c() : QLocale(row[0]));
        Language::loadQtTranslations();
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                shown << button->text().remove(u'&');
                chosen = shown.last() == row[2] ? button : chosen;
            }
            chosen->click();
        });
        QCOMPARE(MsgBox::Show(u"Galdera"_s, row.number(1), u"Izenburua"_s), row.number(3));
        shown.sort();
        QCOMPARE(shown.join(u' '), row[4]);
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), row[5]);
        delete QCoreApplication::instance()->findChild<QTranslator*>();
        QLocale::setDefault(QLocale::c());
    }

    // A playlist key runs its button's handler while the button is shown, and nothing while it
    // is hidden; so does a screen reader's press. Songs a, b, c; the selection by row.
    void playlistKeys_data()
    {
        Row::columns(); // selected | key, or the button a screen reader presses | songs after
        Row::add("Delete, nothing selected", "|Del|abc");
        Row::add("Delete", "0 2|Del|b");
        Row::add("Ctrl+Down", "0|Ctrl+Down|bac");
        Row::add("Ctrl+Down on the last", "2|Ctrl+Down|abc");
        Row::add("Ctrl+Up", "1|Ctrl+Up|bac");
        Row::add("Ctrl+Up on the first", "0|Ctrl+Up|abc");
        Row::add("Ctrl+Up, two selected", "1 2|Ctrl+Up|abc");
        Row::add("Escape hides", "|Esc|abc");
        Row::add("pressed Kendu", "1|Kendu|ac");
        Row::add("pressed Gora while hidden", "1 2|Gora|abc");
    }

    void playlistKeys()
    {
        const Row row;
        zerrenda& playlist = Form<zerrenda>();
        playlist.lista->addItems({u"a"_s, u"b"_s, u"c"_s});
        for (const QString& selected : row[0].split(u' ', Qt::SkipEmptyParts))
            playlist.lista->item(selected.toInt())->setSelected(true);
        playlist.show();
        playlist.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&playlist));
        const QList<ImageButton*> buttons = playlist.findChildren<ImageButton*>();
        const auto pressed =
            std::find_if(buttons.begin(), buttons.end(),
                         [&](const ImageButton* b) { return b->toolTip() == row[1]; });
        if (pressed != buttons.end()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(*pressed);
            face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            const QKeyCombination key = QKeySequence::fromString(row[1])[0];
            QTest::keyClick(playlist.lista, key.key(), key.keyboardModifiers());
        }
        QStringList songs;
        for (int at = 0; at < playlist.ListCount(); ++at)
            songs << playlist.List(at);
        QCOMPARE(songs.join(QString()), row[2]);
        QCOMPARE(playlist.isVisible(), row[1] != u"Esc"_s);
    }

    // A held Space holds a volume button down, its own repeats aside, and Return presses and
    // releases: the volume repeats exactly while a key holds the button.
    void volumeKeys()
    {
        Mahaia& bar = Form<Mahaia>();
        QTest::keyPress(bar.Imagora, Qt::Key_Space);
        QVERIFY(bar.timigora->isActive());
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, {}, QString(), true);
        QApplication::sendEvent(bar.Imagora, &repeat);
        QVERIFY(bar.timigora->isActive());
        QTest::keyRelease(bar.Imagora, Qt::Key_Space);
        QVERIFY(!bar.timigora->isActive());
        QCOMPARE(bar.Imagora->pictureFile(), u"gora.ico"_s);
        QTest::keyClick(bar.Imabera, Qt::Key_Return);
        QVERIFY(!bar.Timibera->isActive());
        QCOMPARE(bar.Imabera->pictureFile(), u"bera.ico"_s);
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
