#pragma once

#include <QPoint>
#include <optional>

class QWidget;

// Window-manager hints the program gives through the desktop's own protocol, where Qt has no
// API for them or would re-create the window to change them.
namespace DesktopHints {

// Keeps a window out of the task bar and the pager. Only the tray icon may stand for the
// program there. Does nothing off X11.
void keepOffTaskbar(QWidget* window);

// Puts a window into the topmost band, or takes it out, in place: no move, no resize, no
// activation.
void setAbove(QWidget* window, bool above);

// Where the X server has put a shown window's top-left corner on the screen, in device pixels,
// whoever placed it; nothing off X11.
std::optional<QPoint> placedAt(QWidget* window);

// Sends what the program has asked of the X server so far, e.g. to map a window now rather
// than after the work that follows.
void flush();

} // namespace DesktopHints
