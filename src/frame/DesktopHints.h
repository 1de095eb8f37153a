#pragma once

class QWidget;

// Hints to the window manager that Qt has no API for.
namespace DesktopHints {

// Keeps a window out of the task bar and the pager. Only the tray icon may stand for the
// program there. Does nothing off X11.
void keepOffTaskbar(QWidget* window);

} // namespace DesktopHints
