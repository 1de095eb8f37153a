// The bar's life in the tray: going there, coming back, and the pop-up menu that drives
// playback while the bar is hidden.
#include "Mahaia.h"
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/DesktopHints.h"
#include "frame/TrayIcon.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"

#include <QCursor>
#include <QMenu>

// Hides every window, the browser too (creating it hidden if it was destroyed), then puts the
// icon in the tray. The caller has already dropped the bar from the topmost band.
void Mahaia::SendToTray()
{
    Form<artxiboak>().hide();
    Form<zerrenda>().hide();
    Form<Egilea>().hide();
    hide();
    tray->add(windowIcon(), QStringLiteral("IxoMP3"));
}

// Only the bar comes back; the other windows stay hidden until the user opens them.
// Leaving the minimised state maps the window at once on X, before show() would write the
// bar's place above others and off the task bar; a window manager that took the map first
// kept it below others with a task-bar button. So a hidden bar is given them beforehand.
void Mahaia::RestoreFromTray(Restore variant)
{
    if (isHidden()) {
        DesktopHints::keepOffTaskbar(this);
        setTopmost(true);
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    show();
    tray->remove();
    if (variant == Restore::DoubleClick)
        setTopmost(true);
}

void Mahaia::Tray_Notify(int code)
{
    if (code == TrayIcon::LeftDoubleClick) {
        RestoreFromTray(Restore::DoubleClick);
    } else if (code == TrayIcon::RightRelease) {
        activateWindow();
        menua->popup(QCursor::pos());
    }
}

void Mahaia::menu_Click(int Index)
{
    switch (Index) {
    case 0:
        RestoreFromTray(Restore::Menu);
        break;
    case 2:
        NextSong();
        break;
    case 3:
        StopPlayback();
        break;
    case 4:
        PauseResume();
        break;
    case 5:
        PlayCurrent();
        break;
    case 6:
        PreviousSong();
        break;
    default:
        break;
    }
}
