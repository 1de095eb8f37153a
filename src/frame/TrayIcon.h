#pragma once

#include "PlatformAnswers.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's tray. Adding shows it, deleting hides it; the icon's
// mouse notifications come out as the codes the main window decodes. A StatusNotifierItem
// tray knows no double click and draws the menu itself, so there a left click comes out as the
// double click and the menu is handed to the desktop.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    static constexpr int LeftDoubleClick = 0x203;
    static constexpr int RightRelease = 0x205;
    static constexpr int LeftRelease = 0x202;
    static constexpr int MiddleRelease = 0x208;

    explicit TrayIcon(QObject* parent);

    // Whether the desktop has a tray to put the icon in.
    [[nodiscard]] bool available() const;

    using Kind = PlatformAnswers::TrayKind;
    // Settled when the icon is first made, as Qt settles its own.
    [[nodiscard]] Kind kind() const { return m_kind; }

    // The menu a StatusNotifierItem tray shows on a right click.
    void setMenu(QMenu* menu) { m_menu = menu; }
    void add(const QIcon& picture, const QString& tip);
    void remove();
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] QString tip() const;

signals:
    void Notify(int code);

private:
    QSystemTrayIcon* icon();
    void passOn(int reason);

    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
    Kind m_kind = Kind::XEmbed;
};
