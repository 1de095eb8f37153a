#include "frame/DesktopHints.h"
#include "frame/Language.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"

#include <QApplication>
#include <cstdio>

namespace {

// On Wayland no ordinary window may place itself or stay on top, so the bar runs through
// XWayland unless the user chose a platform.
void preferX11OnWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "ixomp3: XWayland is missing; the bar cannot place itself or stay "
                             "on top\n");
        return;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[])
{
    preferX11OnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("IxoMp3"));
    Language::loadQtTranslations();
    // Hiding every window (the tray) must not end the program; only the exit command does.
    QApplication::setQuitOnLastWindowClosed(false);
    Form<Sarrera>().show();
    // The splash goes on screen now; the other windows are built once it is there.
    DesktopHints::flush();
    const int status = QApplication::exec();
    WindowRegistry::instance().unloadAll();
    return status;
}
