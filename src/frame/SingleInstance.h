#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

// One player per desktop session. The first instance owns a name on the session bus; a later
// one hands its files to it (or only asks for the bar back) and ends. Without a session bus
// each start is on its own, as if this did not exist.
//
// Requests are answered at once and carried out afterwards, in the order they came, so a
// question the player asks (save first?) never keeps a caller waiting on its reply; those that
// come before the windows are loaded wait for serve().
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.ixomp3.Instance")

public:
    static constexpr const char* ServiceName = "org.example.ixomp3";
    static constexpr const char* ObjectPath = "/org/example/ixomp3";
    static constexpr const char* InterfaceName = "org.example.ixomp3.Instance";

    enum class Start { First, Alone, HandedOver, Unanswered };

    using QObject::QObject;

    // Claims the name, or gives the files (absolute paths) to the instance that holds it:
    // HandedOver then means this instance has nothing more to do. First: this is the session's
    // player; Alone: there is no session bus; Unanswered: the owner did not take the files.
    Start claim(const QStringList& files);

    // Once the windows are loaded: opens this instance's own files, then every request that
    // came meanwhile, and puts the player on the bus for the desktop (MPRIS).
    void serve(const QStringList& files);

public slots:
    // Over the bus from a later instance. Paths are bytes, as file names are.
    Q_SCRIPTABLE void Open(const QList<QByteArray>& paths);
    Q_SCRIPTABLE void Raise();

private:
    // An empty list stands for Raise.
    void request(const QStringList& files);
    static void carryOut(const QStringList& files);
    void publishMpris();

    bool m_owner = false;
    bool m_serving = false;
    QList<QStringList> m_waiting;
};
