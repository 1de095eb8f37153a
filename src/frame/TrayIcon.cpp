#include "TrayIcon.h"

#include "WindowRegistry.h"

#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

bool TrayIcon::available() const
{
    return WindowRegistry::instance().answers().tray.value_or(
        QSystemTrayIcon::isSystemTrayAvailable());
}

// The icon object is made once and kept, only shown and hidden: Qt puts a shown icon back by
// itself when the desktop's tray restarts, as long as the object lives.
QSystemTrayIcon* TrayIcon::icon()
{
    if (m_icon == nullptr) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    switch (reason) {
                    case QSystemTrayIcon::DoubleClick:
                        emit Notify(LeftDoubleClick);
                        break;
                    case QSystemTrayIcon::Context:
                        emit Notify(RightRelease);
                        break;
                    case QSystemTrayIcon::Trigger:
                        emit Notify(LeftRelease);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        emit Notify(MiddleRelease);
                        break;
                    default:
                        break;
                    }
                });
    }
    return m_icon;
}

void TrayIcon::add(const QIcon& picture, const QString& tip)
{
    QSystemTrayIcon* tray = icon();
    tray->setIcon(picture);
    tray->setToolTip(tip);
    tray->show();
}

void TrayIcon::remove()
{
    if (m_icon != nullptr)
        m_icon->hide();
}

bool TrayIcon::isShown() const
{
    return m_icon != nullptr && m_icon->isVisible();
}

QString TrayIcon::tip() const
{
    return m_icon == nullptr ? QString() : m_icon->toolTip();
}
