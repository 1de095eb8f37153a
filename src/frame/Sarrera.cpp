#include "Sarrera.h"

#include "Design.h"
#include "DesktopHints.h"
#include "Pictures.h"
#include "WindowRegistry.h"
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"

#include <QApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

Sarrera::Sarrera()
    : FormWindow(QStringLiteral("Sarrera"), 1560, 1530, FrameStyle::None),
      Timi(Design::timer(this, QStringLiteral("Timi"), 1000, true))
{
    setWindowTitle(QStringLiteral("Sarrera"));
    setBackgroundColour(Qt::black);
    setBackgroundPicture(Pictures::Scaled(QStringLiteral("sarrera.png")));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    connect(Timi, &QTimer::timeout, this, &Sarrera::Timi_Timer);
}

// The loads run once the splash is on its way to the screen, so that it appears at once
// rather than after every other window has been built.
void Sarrera::showEvent(QShowEvent* event)
{
    // Past FormWindow on purpose: its activation would run at once, before the splash is up.
    QWidget::showEvent(event); // NOLINT(bugprone-parent-virtual-call)
    DesktopHints::keepOffTaskbar(this);
    if (!event->spontaneous())
        QMetaObject::invokeMethod(this, &Sarrera::Form_Activate, Qt::QueuedConnection);
}

void Sarrera::Form_Activate()
{
    SplashTicks = 0;
    // The program's icon needs the icon-file reader, which is loaded only now, after the
    // splash is on screen.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(Pictures::designIcon(QStringLiteral("ixomp3.ico")));
    Form<extrak>();
    Form<Mahaia>();
    Form<zerrenda>();
    Form<artxiboak>();
    Form<Egilea>();
}

void Sarrera::Timi_Timer()
{
    if (SplashTicks == 1) {
        Timi->stop();
        WindowRegistry::instance().unload<Sarrera>();
        Form<Mahaia>().show();
        return;
    }
    ++SplashTicks;
}
