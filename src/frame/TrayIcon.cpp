#include "TrayIcon.h"

#include "WindowRegistry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QMenu>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

bool TrayIcon::available() const
{
    return WindowRegistry::instance().answers().tray.value_or(
        QSystemTrayIcon::isSystemTrayAvailable());
}

namespace {

// Qt draws its icon through a StatusNotifierItem as soon as a host is registered with the
// session's watcher, and through XEmbed otherwise.
TrayIcon::Kind desktopTrayKind()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage ask = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher that hangs must not hang the bar on its way to the tray.
    const QDBusReply<QDBusVariant> host =
        QDBusConnection::sessionBus().call(ask, QDBus::Block, 2000);
    return host.isValid() && host.value().variant().toBool() ? TrayIcon::Kind::StatusNotifier
                                                             : TrayIcon::Kind::XEmbed;
}

} // namespace

// The icon object is made once and kept, only shown and hidden: Qt puts a shown icon back by
// itself when the desktop's tray restarts, as long as the object lives.
QSystemTrayIcon* TrayIcon::icon()
{
    if (m_icon == nullptr) {
        m_kind = WindowRegistry::instance().answers().trayKind.value_or(desktopTrayKind());
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { passOn(reason); });
    }
    return m_icon;
}

void TrayIcon::passOn(int reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        emit Notify(LeftDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        emit Notify(RightRelease);
        break;
    case QSystemTrayIcon::Trigger:
        emit Notify(m_kind == Kind::StatusNotifier ? LeftDoubleClick : LeftRelease);
        break;
    case QSystemTrayIcon::MiddleClick:
        emit Notify(MiddleRelease);
        break;
    default:
        break;
    }
}

void TrayIcon::add(const QIcon& picture, const QString& tip)
{
    QSystemTrayIcon* tray = icon();
    // On XEmbed Qt would open a context menu itself, on the press; the bar opens its own.
    if (m_kind == Kind::StatusNotifier && tray->contextMenu() != m_menu)
        tray->setContextMenu(m_menu);
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
