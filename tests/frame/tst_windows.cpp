// The windows as first shown and their image buttons; CTest runs them again scaled 1.5 and 2 times.
#include "about/Egilea.h"
#include "about/LinkLabel.h"
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
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <qpa/qplatformscreen.h>

using namespace Qt::StringLiterals;

namespace {

QList<QImage> readImages(const QString& name)
{
    QImageReader reader(QCoreApplication::applicationDirPath() + u'/' + name);
    QList<QImage> images;
    for (int index = 0; index < std::max(reader.imageCount(), 1); ++index) {
        reader.jumpToImage(index);
        images << reader.read().convertToFormat(QImage::Format_ARGB32);
    }
    return images;
}

QList<QSize> sizesOf(const QList<QImage>& images)
{
    QList<QSize> sizes;
    for (const QImage& image : images)
        sizes << image.size();
    return sizes;
}

QImage iconImage(const QString& file)
{
    return Pictures::readIconFile(QCoreApplication::applicationDirPath() + u'/' + file)
        .pixmap(16, 16)
        .toImage();
}

// The percentage of aligned 2 x 2 blocks of one colour inside `margin`: a 1x picture enlarged
// is all such blocks.
int flatPercent(const QImage& image, int margin)
{
    int blocks = 0;
    int flat = 0;
    for (int y = margin; y + 1 < image.height() - margin; y += 2) {
        for (int x = margin; x + 1 < image.width() - margin; x += 2) {
            const QRgb first = image.pixel(x, y);
            flat += image.pixel(x + 1, y) == first && image.pixel(x, y + 1) == first &&
                    image.pixel(x + 1, y + 1) == first;
            ++blocks;
        }
    }
    return flat * 100 / std::max(blocks, 1);
}

} // namespace

class tst_windows : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTest::reset(); }

    // Fields: window, outer size in logical pixels.
    void layout_data()
    {
        Row::columns();
        Row::add("bar", "0|212|37");
        Row::add("playlist", "1|212|234");
        Row::add("browser", "2|212|239");
        Row::add("about", "3|188|133");
    }

    // Guards gaps between the bar, the work area's corner and the windows on its top edge, frame
    // rings off the device pixels or under a control, and captions cut short (at their widest).
    void layout()
    {
        const Row row;
        const QSize outer(row.number(1), row.number(2));
        Mahaia& bar = Form<Mahaia>();
        bar.Lblabe->setText(u"999/999"_s);
        bar.Lblden->setText(u"9:59/9:59"_s);
        bar.Lblahot->setText(u"% 100"_s);
        bar.show();
        const QList<FormWindow*> windows = {&bar, &Form<zerrenda>(), &Form<artxiboak>(),
                                            &Form<Egilea>()};
        FormWindow* form = windows.at(row.number(0));
        form->show();
        const qreal ratio = form->devicePixelRatioF();
        const QRect device = form->deviceGeometry();
        QCOMPARE(form->size(), outer);
        QCOMPARE(device.size(), (QSizeF(outer) * ratio).toSize());
        const QRect workArea = QGuiApplication::primaryScreen()->handle()->availableGeometry();
        if (form == &bar)
            QCOMPARE(device.bottomRight(), workArea.bottomRight());
        else if (form != windows.last())
            QCOMPARE(device.bottomLeft() + QPoint(0, 1), bar.deviceGeometry().topLeft());

        const QImage grab = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(grab.size(), device.size());
        if (const QString folder = qEnvironmentVariable("IXO_ARTEFACTS"); !folder.isEmpty()) {
            QDir().mkpath(u"%1/windows-%2x"_s.arg(folder).arg(ratio));
            grab.save(u"%1/windows-%2x/%3.png"_s.arg(folder).arg(ratio).arg(form->objectName()));
        }
        const std::array<int, 3> ends = FormWindow::thinFrameRings(ratio);
        QVERIFY(ends.back() > 3 * ratio - 1 && ends.back() <= 3 * ratio);
        const QRgb light = qRgb(212, 208, 200);
        const QRgb colours[2][3] = {{light, qRgb(255, 255, 255), light},
                                    {qRgb(64, 64, 64), qRgb(128, 128, 128), light}};
        // Turned so that the left, top, right and bottom sides come to the left in turn; each
        // ring's band runs the whole side, corners aside.
        for (int turn = 0; turn < 4; ++turn) {
            const QImage side = grab.transformed(QTransform().rotate(-90 * turn));
            for (int x = 0; x < ends.back(); ++x) {
                const QRgb colour = colours[turn / 2][x < ends[0] ? 0 : x < ends[1] ? 1 : 2];
                for (int y = ends.back(); y < side.height() - ends.back(); ++y)
                    QVERIFY2(side.pixel(x, y) == colour, qPrintable(u"side %1"_s.arg(turn)));
            }
        }
        for (QWidget* control : form->findChildren<QWidget*>()) {
            const auto* button = qobject_cast<QPushButton*>(control);
            const auto* label = qobject_cast<QLabel*>(control);
            const QString text = button ? button->text() : label ? label->text() : QString();
            if (text.isEmpty())
                continue;
            const qreal needed = QFontMetricsF(control->font(), control).horizontalAdvance(text);
            QVERIFY2(needed <= control->contentsRect().width(), qPrintable(text));
        }
        if (form == windows.last())
            QCOMPARE(form->findChild<QLabel*>(u"Imaegi"_s)->pixmap().devicePixelRatio(), ratio);
    }

    // At 2x the backgrounds are the water drawn at 2x, not the 1x picture enlarged.
    void crisp()
    {
        if (QGuiApplication::primaryScreen()->devicePixelRatio() != 2)
            QSKIP("for a screen scaled 2 times");
        for (FormWindow* form : {static_cast<FormWindow*>(&Form<Mahaia>()),
                                 static_cast<FormWindow*>(&Form<zerrenda>())}) {
            QPixmap canvas(form->deviceGeometry().size());
            canvas.setDevicePixelRatio(form->devicePixelRatioF());
            form->render(&canvas, {}, {}, QWidget::DrawWindowBackground);
            const QImage painted = canvas.toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(flatPercent(painted, form->frameDevicePixels()) < 20,
                     qPrintable(form->objectName()));
        }
    }

    // Guards a button icon missing a size, a press that shows no change, and look-alike buttons.
    void buttonIcons()
    {
        const QList<QSize> both = {QSize(16, 16), QSize(32, 32)};
        QList<QImage> seen;
        for (const char* base :
             {"atzea", "aurrea", "bera", "berria", "egilea", "gehitu", "gora", "gorde", "ireki",
              "irten", "kendu", "pause", "play", "stop", "zerrenda"}) {
            const QString name = QLatin1String(base);
            const QList<QImage> normal = readImages(u"irudiak/"_s + name + u".ico"_s);
            const QList<QImage> pressed = readImages(u"irudiak/"_s + name + u"1.ico"_s);
            QCOMPARE(sizesOf(normal), both);
            QCOMPARE(sizesOf(pressed), both);
            QCOMPARE(readImages(u"pictures/buttons/"_s + name + u".ico"_s), normal);
            QVERIFY2(pressed.at(0) != normal.at(0) && pressed.at(1) != normal.at(1), base);
            QVERIFY2(!seen.contains(normal.constFirst()), base);
            seen << normal.constFirst();
        }
    }

    // Guards the splash's length (one tick, counted anew when activated) and windows shown or
    // reloaded too early.
    void splash()
    {
        Sarrera& splash = Form<Sarrera>();
        splash.show();
        QTRY_VERIFY(WindowRegistry::instance().isLoaded<Egilea>());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY((splash.geometry().center() - screen.center()).manhattanLength() <= 2);
        for (QWidget* window :
             std::initializer_list<QWidget*>{&Form<extrak>(), &Form<Egilea>(), &Form<Mahaia>(),
                                             &Form<zerrenda>(), &Form<artxiboak>()})
            QVERIFY(window->isHidden());
        Form<zerrenda>().lista->addItem(u"/music/a.mp3"_s);
        splash.Timi_Timer();
        splash.Form_Activate();
        splash.Timi_Timer();
        QVERIFY(WindowRegistry::instance().isLoaded<Sarrera>() && Form<Mahaia>().isHidden());
        splash.Timi_Timer();
        QVERIFY(!WindowRegistry::instance().isLoaded<Sarrera>() && Form<Mahaia>().isVisible());
        QCOMPARE(Form<zerrenda>().ListCount(), 1);
    }

    // Guards the e-mail address opened as a web page, and "Ados!" doing more than hiding.
    void aboutAddresses()
    {
        QStringList handed;
        WindowTest::answers().shell = [&](const QString& operation, const QString& file) {
            handed << operation + u' ' + file;
        };
        Egilea& about = Form<Egilea>();
        about.show();
        for (QWidget* clicked :
             std::initializer_list<QWidget*>{about.lblURL.at(0), about.lblURL.at(1), about.Imaegi})
            QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(handed,
                 (QStringList{u"Open mailto:ixomp3@example.org"_s, u"Open ixomp3.example.org"_s}));
        QTest::mouseClick(about.cmdok, Qt::LeftButton);
        QVERIFY(about.isHidden() && WindowRegistry::instance().isLoaded<Egilea>());
    }

    // Guards the pressed picture, the command on release wherever the pointer went, and a
    // missing icon told once. Fields: button, released off the button, pressed icon missing.
    void imageButtonPress_data()
    {
        Row::columns();
        Row::add("left", "1|no|no");
        Row::add("right, released off the button", "2|yes|no");
        Row::add("middle", "4|no|no");
        Row::add("pressed icon missing", "1|no|yes");
    }

    void imageButtonPress()
    {
        const Row row;
        const auto button = Qt::MouseButton(row.number(0));
        QTemporaryDir folder;
        if (row.yes(2))
            WindowTest::answers().programFolder =
                WindowTest::programFolderWithout(folder.path(), {u"zerrenda1.ico"_s});
        ScriptedMedia* player = nullptr;
        WindowTest::answers().media = [&](QObject* host) {
            return player = new ScriptedMedia(host);
        };
        Form<zerrenda>().lista->addItem(u"/music/a.mp3"_s);
        Mahaia& bar = Form<Mahaia>();
        bar.Timi_Timer();
        const QImage before = bar.Imazerr->pictureImage();
        QCOMPARE(before, iconImage(u"pictures/buttons/zerrenda.ico"_s));
        QTest::mousePress(bar.Imazerr, button);
        QCOMPARE(bar.Imazerr->pictureImage(),
                 row.yes(2) ? before : iconImage(u"irudiak/zerrenda1.ico"_s));
        QVERIFY(Form<zerrenda>().isHidden());
        QTest::mouseRelease(bar.Imazerr, button, {}, row.yes(1) ? QPoint(300, -40) : QPoint(8, 8));
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(u"irudiak/zerrenda.ico"_s));
        QVERIFY(Form<zerrenda>().isVisible());
        QCOMPARE(
            WindowRegistry::instance().firstReport(folder.path() + u"/irudiak/zerrenda1.ico"_s),
            !row.yes(2));
        QString pictureWhenOpened;
        player->onOpen = [&] { pictureWhenOpened = bar.Imahasi->pictureFile(); };
        QTest::mouseClick(bar.Imahasi, button);
        QCOMPARE(player->calls, QStringList{u"Open(/music/a.mp3)"_s});
        QCOMPARE(pictureWhenOpened + bar.Imahasi->pictureFile(), u"play1.icoplay.ico"_s);
        // A double click's second press comes twice, as a press and as a double click.
        QSignalSpy downs(bar.Imahasi, &ImageButton::MouseDown);
        QSignalSpy ups(bar.Imahasi, &ImageButton::MouseUp);
        QTest::mouseClick(bar.Imahasi, button);
        QTest::mousePress(bar.Imahasi, button);
        QTest::mouseDClick(bar.Imahasi, button);
        QTest::mouseRelease(bar.Imahasi, button);
        QCOMPARE(downs.count(), 2);
        QCOMPARE(ups.count(), 2);
    }

    // Guards the answers' Basque words and numbers, and Qt's words in the user's language where
    // Qt has it. Fields: language, style, pressed, answer, answers shown, Qt's own word.
    void messageBoxes_data()
    {
        Row::columns();
        Row::add("cancel", "|35|Utzi|2|Bai Ez Utzi|File &name:");
        Row::add("retry", "|21|Berriro saiatu|4|Berriro saiatu Utzi|File &name:");
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
            const auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
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

    // Guards a key or a screen reader's press running a hidden button's handler. Songs a, b, c.
    // Fields: selected rows, key or the button's tooltip, songs after.
    void playlistKeys_data()
    {
        Row::columns();
        Row::add("Delete, nothing selected", "|Del|abc");
        Row::add("Delete", "0 2|Del|b");
        Row::add("Ctrl+Down on the last", "2|Ctrl+Down|abc");
        Row::add("Ctrl+Up", "1|Ctrl+Up|bac");
        Row::add("Escape hides", "|Esc|abc");
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
        QString songs;
        for (int at = 0; at < playlist.ListCount(); ++at)
            songs += playlist.List(at);
        QCOMPARE(songs, row[2]);
        QCOMPARE(playlist.isVisible(), row[1] != u"Esc"_s);
    }
};

QTEST_MAIN(tst_windows)
#include "tst_windows.moc"
