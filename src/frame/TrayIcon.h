#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <optional>

class QSystemTrayIcon;

// The program's icon in the desktop's tray. Adding shows it, deleting hides it; the icon's
// mouse notifications come out as the codes the main window decodes.
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

    void add(const QIcon& picture, const QString& tip);
    void remove();
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] QString tip() const;

signals:
    void Notify(int code);

private:
    QSystemTrayIcon* icon();

    QSystemTrayIcon* m_icon = nullptr;
};
