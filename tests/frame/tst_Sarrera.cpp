// Start-up: the splash loads the other windows hidden and gives way to the bar on its second
// tick.
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/WindowTest.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>

class tst_Sarrera : public QObject {
    Q_OBJECT

private:
    static WindowRegistry& registry() { return WindowRegistry::instance(); }

    static bool allLoaded()
    {
        return registry().isLoaded<extrak>() && registry().isLoaded<Mahaia>() &&
               registry().isLoaded<zerrenda>() && registry().isLoaded<artxiboak>() &&
               registry().isLoaded<Egilea>();
    }

private slots:
    void cleanup() { WindowTest::reset(); }

    void activationLoadsTheOtherWindowsHidden()
    {
        Sarrera& splash = Form<Sarrera>();
        QVERIFY(!registry().isLoaded<Mahaia>());
        splash.Form_Activate();
        QVERIFY(allLoaded());
        for (QWidget* window :
             {static_cast<QWidget*>(&Form<extrak>()), static_cast<QWidget*>(&Form<Mahaia>()),
              static_cast<QWidget*>(&Form<zerrenda>()), static_cast<QWidget*>(&Form<artxiboak>()),
              static_cast<QWidget*>(&Form<Egilea>())})
            QVERIFY2(window->isHidden(), qPrintable(window->objectName()));
        // The bar reads as an empty list before it is ever shown, and its monitor keeps it so.
        Mahaia& bar = Form<Mahaia>();
        QVERIFY(bar.Timi->isActive());
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("0/0"));
        bar.Timi_Timer();
        QCOMPARE(bar.Lblabe->text(), QStringLiteral("0/0"));
        QCOMPARE(bar.Lblinfo->text(), QStringLiteral("Ez dago abestirik..."));
    }

    void firstTickCountsSecondShowsTheBar()
    {
        Sarrera& splash = Form<Sarrera>();
        splash.Form_Activate();
        splash.Timi_Timer();
        QCOMPARE(splash.splashTicks(), qint16(1));
        QVERIFY(registry().isLoaded<Sarrera>());
        QVERIFY(Form<Mahaia>().isHidden());
        splash.Timi_Timer();
        QVERIFY(!registry().isLoaded<Sarrera>());
        QVERIFY(!splash.Timi->isActive());
        QVERIFY(Form<Mahaia>().isVisible());
    }

    // A new activation keeps the splash for two more ticks and loads nothing again: the
    // playlist put into the loaded window survives.
    void reactivationRestartsTheCountWithoutReloading()
    {
        Sarrera& splash = Form<Sarrera>();
        splash.Form_Activate();
        QListWidget* list = Form<zerrenda>().lista;
        list->addItem(QStringLiteral("/music/a.mp3"));
        splash.Timi_Timer();
        splash.Form_Activate();
        QCOMPARE(splash.splashTicks(), qint16(0));
        splash.Timi_Timer();
        QVERIFY(registry().isLoaded<Sarrera>());
        QCOMPARE(Form<zerrenda>().lista, list);
        QCOMPARE(list->count(), 1);
        splash.Timi_Timer();
        QVERIFY(!registry().isLoaded<Sarrera>());
    }

    // Showing the splash is what starts the program; it must not wait for the focus.
    void showingTheSplashStartsTheProgram()
    {
        Sarrera& splash = Form<Sarrera>();
        QVERIFY(splash.Timi->isActive());
        QCOMPARE(splash.Timi->interval(), 1000);
        splash.show();
        QTRY_VERIFY(allLoaded());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(splash.geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(splash.geometry().center().y() - screen.center().y()) <= 1);
    }
};

QTEST_MAIN(tst_Sarrera)
#include "tst_Sarrera.moc"
