// Image buttons: the pressed picture while held, the normal one after release, the command on
// release of any mouse button wherever the pointer is, and no end of the program when an icon
// file is missing.
#include "frame/ImageButton.h"
#include "frame/Pictures.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/ScriptedMedia.h"
#include "support/WindowTest.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage iconImage(const QString& folder, const QString& file)
{
    return Pictures::readIconFile(folder + QLatin1Char('/') + file).pixmap(16, 16).toImage();
}

} // namespace

class tst_ImageButton : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTest::reset(); }

    void pressShowsPressedReleaseShowsNormal_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void pressShowsPressedReleaseShowsNormal()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        Mahaia& bar = Form<Mahaia>();
        const QString icons = QCoreApplication::applicationDirPath() + QStringLiteral("/irudiak");
        QTest::mousePress(bar.Imazerr, mouseButton);
        QCOMPARE(bar.Imazerr->pictureFile(), QStringLiteral("zerrenda1.ico"));
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(icons, QStringLiteral("zerrenda1.ico")));
        QVERIFY(Form<zerrenda>().isHidden());
        QTest::mouseRelease(bar.Imazerr, mouseButton);
        QCOMPARE(bar.Imazerr->pictureFile(), QStringLiteral("zerrenda.ico"));
        QCOMPARE(bar.Imazerr->pictureImage(), iconImage(icons, QStringLiteral("zerrenda.ico")));
        QVERIFY(Form<zerrenda>().isVisible());
    }

    // The press grabs the mouse, so the release acts wherever the pointer has gone.
    void releaseOffTheButtonStillActs()
    {
        Mahaia& bar = Form<Mahaia>();
        QTest::mousePress(bar.Imazerr, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(bar.Imazerr, Qt::LeftButton, {}, QPoint(300, -40));
        QVERIFY(Form<zerrenda>().isVisible());
    }

    void builtInPictureUntilTheFirstPress()
    {
        const zerrenda& playlist = Form<zerrenda>();
        const QString builtIn =
            QCoreApplication::applicationDirPath() + QStringLiteral("/pictures/buttons");
        for (const ImageButton* button :
             {playlist.Imaberr, playlist.Imairek, playlist.Imagehi, playlist.Imaitxi}) {
            QCOMPARE(button->pictureFile(), QString());
            const QImage shown = button->pictureImage();
            QVERIFY(!shown.isNull());
            QCOMPARE(shown, iconImage(builtIn, button->iconBase() + QStringLiteral(".ico")));
        }
    }

    // The play command runs before the play button gets its normal picture back.
    void playOpensBeforeItsPictureIsRestored()
    {
        auto* player = new ScriptedMedia;
        Form<extrak>().replaceMedi(player);
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

    // A missing icon leaves the button's picture as it was; the command still runs and the
    // program goes on.
    void missingIconKeepsPictureAndRunsCommand()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WindowTest::programFolderWithout(
            folder.path(), {QStringLiteral("zerrenda1.ico"), QStringLiteral("irten.ico")});
        WindowRegistry::instance().setProgramFolder(folder.path());
        Mahaia& bar = Form<Mahaia>();
        const QImage before = bar.Imazerr->pictureImage();
        QTest::mousePress(bar.Imazerr, Qt::LeftButton);
        QCOMPARE(bar.Imazerr->pictureFile(), QString());
        QCOMPARE(bar.Imazerr->pictureImage(), before);
        QTest::mouseRelease(bar.Imazerr, Qt::LeftButton);
        QCOMPARE(bar.Imazerr->pictureFile(), QStringLiteral("zerrenda.ico"));
        zerrenda& playlist = Form<zerrenda>();
        QVERIFY(playlist.isVisible());
        QTest::mouseClick(playlist.Imaitxi, Qt::LeftButton);
        QCOMPARE(playlist.Imaitxi->pictureFile(), QStringLiteral("irten1.ico"));
        QVERIFY(playlist.isHidden());
        const QString missing = folder.path() + QStringLiteral("/irudiak/irten.ico");
        QVERIFY2(!WindowRegistry::instance().firstReport(missing), "the missing file was not told");
    }
};

QTEST_MAIN(tst_ImageButton)
#include "tst_ImageButton.moc"
