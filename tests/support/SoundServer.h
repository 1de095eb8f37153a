#pragma once

#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

// A PulseAudio server of the test's own with a null sink, on a socket of its own; no other
// server on the machine is touched, and the client never starts one by itself. While it is
// down a listener holds its socket and counts the clients that knock: each is an attempt to
// open the device.
class SoundServer {
public:
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Empty when the server answers; otherwise why it cannot run here.
    QString start();
    // Killed outright, as a crashing server goes.
    void kill();
    [[nodiscard]] int knocks() const { return m_knocks; }
    // Streams playing into the server; -1 if it does not answer.
    [[nodiscard]] int streams() const;

private:
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_server;
    QLocalServer m_standIn;
    int m_knocks = 0;
};
