#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <optional>

class CommonDialog;
class MediaComponent;
class QObject;

// What the user, the desktop and the sound system would answer, given instead by whoever
// drives the program without them (the tests, the benchmarks). An empty member means: ask the
// real thing.
struct PlatformAnswers {
    enum class DialogKind { Open, Save };
    // An XEmbed tray draws the icon the program hands it and passes on its clicks; on a
    // StatusNotifierItem tray the desktop draws the icon and the menu itself.
    enum class TrayKind { XEmbed, StatusNotifier };

    // The button a message box's user presses.
    std::function<int(const QString& prompt, int style, const QString& title)> message;
    // The path a file dialog's user chooses; empty cancels.
    std::function<QString(const CommonDialog& dialog, DialogKind kind)> dialog;
    // What the desktop shell is asked to open.
    std::function<void(const QString& operation, const QString& file)> shell;
    // The end of the program, which would otherwise leave the event loop.
    std::function<void(int status)> programEnd;
    // The folder holding irudiak/ and pictures/ in place of the executable's.
    QString programFolder;
    // The desktop's work area, in twips, and whether it has a tray.
    std::optional<QRect> workArea;
    std::optional<bool> tray;
    std::optional<TrayKind> trayKind;
    // The media component the hidden host window plays with.
    std::function<MediaComponent*(QObject* parent)> media;
};
