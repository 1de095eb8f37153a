#include "MprisRoot.h"

#include "Mahaia.h"

MprisRoot::MprisRoot(Mahaia* bar) : QDBusAbstractAdaptor(bar), m_bar(bar) {}

QString MprisRoot::Identity()
{
    return QStringLiteral("IxoMp3");
}

QString MprisRoot::DesktopEntry()
{
    return QStringLiteral("ixomp3");
}

QStringList MprisRoot::SupportedUriSchemes()
{
    return {QStringLiteral("file")};
}

QStringList MprisRoot::SupportedMimeTypes()
{
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-mpegurl")};
}

void MprisRoot::Raise()
{
    m_bar->RestoreFromTray(Mahaia::Restore::DoubleClick);
}

void MprisRoot::Quit()
{
    QMetaObject::invokeMethod(m_bar, &Mahaia::ExitProgram, Qt::QueuedConnection);
}
