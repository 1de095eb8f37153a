#include "frame/CommandLine.h"
#include "frame/DesktopHints.h"
#include "frame/Language.h"
#include "frame/Sarrera.h"
#include "frame/SingleInstance.h"
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
    // Read before any display is opened, so that --help works without one.
    const CommandLine line(argc, argv);
    if (line.action() != CommandLine::Action::Run)
        return line.finish();
    preferX11OnWayland();
    // Qt sees no argument: every one is the program's, and a file named like one of Qt's own
    // options (-style) stays a file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("IxoMp3"));
    Language::loadQtTranslations();
    SingleInstance instance;
    switch (instance.claim(line.files())) {
    case SingleInstance::Start::HandedOver:
        return 0;
    case SingleInstance::Start::Unanswered:
        return 1;
    case SingleInstance::Start::First:
    case SingleInstance::Start::Alone:
        break;
    }
    // Hiding every window (the tray) must not end the program; only the exit command does.
    QApplication::setQuitOnLastWindowClosed(false);
    Form<Sarrera>().show();
    // The splash goes on screen now; the other windows are built once it is there.
    DesktopHints::flush();
    // Behind the splash's loading of the windows, which its showing has already queued.
    QMetaObject::invokeMethod(
        &instance, [&instance, &line] { instance.serve(line.files()); }, Qt::QueuedConnection);
    const int status = QApplication::exec();
    WindowRegistry::instance().unloadAll();
    return status;
}
