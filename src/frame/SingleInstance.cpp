#include "SingleInstance.h"

#include "PathBytes.h"
#include "WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "mainwindow/MprisPlayer.h"
#include "mainwindow/MprisRoot.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <cstdio>

namespace {

constexpr int AnswerTimeoutMs = 10000;

QString name(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

SingleInstance::Start SingleInstance::claim(const QStringList& files)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Start::Alone;
    qDBusRegisterMetaType<QList<QByteArray>>();
    // The object is there before the name, so whoever finds the name finds someone to answer.
    bus.registerObject(name(ObjectPath), this, QDBusConnection::ExportScriptableSlots);
    QDBusMessage reply;
    // The owner may end between the refused claim and the call; then the name is free again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (bus.registerService(name(ServiceName))) {
            m_owner = true;
            return Start::First;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            name(ServiceName), name(ObjectPath), name(InterfaceName),
            files.isEmpty() ? QStringLiteral("Raise") : QStringLiteral("Open"));
        if (!files.isEmpty()) {
            QList<QByteArray> paths;
            for (const QString& file : files)
                paths << PathBytes::toBytes(file);
            call << QVariant::fromValue(paths);
        }
        reply = bus.call(call, QDBus::Block, AnswerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return Start::HandedOver;
    }
    bus.unregisterObject(name(ObjectPath));
    std::fprintf(stderr, "ixomp3: the running player did not answer (%s)\n",
                 qPrintable(reply.errorMessage()));
    return Start::Unanswered;
}

void SingleInstance::serve(const QStringList& files)
{
    m_serving = true;
    if (m_owner)
        publishMpris();
    // Queued in the order they came, behind this instance's own files.
    if (!files.isEmpty())
        request(files);
    const QList<QStringList> waiting = std::exchange(m_waiting, {});
    for (const QStringList& later : waiting)
        request(later);
}

void SingleInstance::Open(const QList<QByteArray>& paths)
{
    QStringList files;
    for (const QByteArray& path : paths)
        files << PathBytes::fromBytes(path);
    if (!files.isEmpty())
        request(files);
}

void SingleInstance::Raise()
{
    request({});
}

void SingleInstance::request(const QStringList& files)
{
    if (!m_serving) {
        m_waiting << files;
        return;
    }
    // After the reply has gone: the files may bring a question with a loop of its own.
    QMetaObject::invokeMethod(
        this, [files] { carryOut(files); }, Qt::QueuedConnection);
}

// No files: the bar comes back, from the tray or from under other windows.
void SingleInstance::carryOut(const QStringList& files)
{
    Mahaia& bar = Form<Mahaia>();
    if (files.isEmpty())
        bar.RestoreFromTray(Mahaia::Restore::DoubleClick);
    else
        bar.OpenFiles(files);
}

// The desktop's media keys and sound menu find the player by this name. The adaptors belong
// to the bar and go with it.
void SingleInstance::publishMpris()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    Mahaia& bar = Form<Mahaia>();
    new MprisRoot(&bar);
    new MprisPlayer(&bar);
    if (!bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), &bar,
                            QDBusConnection::ExportAdaptors) ||
        !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.ixomp3")))
        std::fprintf(stderr, "ixomp3: the media keys cannot reach the player: %s\n",
                     qPrintable(bus.lastError().message()));
}
