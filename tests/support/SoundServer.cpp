#include "SoundServer.h"

#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

std::optional<QByteArray> pactl(const QStringList& arguments)
{
    QProcess client;
    client.start(u"pactl"_s, arguments);
    if (!client.waitForFinished(5000) || client.exitStatus() != QProcess::NormalExit ||
        client.exitCode() != 0)
        return std::nullopt;
    return client.readAllStandardOutput();
}

} // namespace

SoundServer::SoundServer() : m_socket(m_dir.filePath(u"native"_s))
{
    QFile config(m_dir.filePath(u"client.conf"_s));
    if (config.open(QIODevice::WriteOnly))
        config.write("autospawn = no\n");
    qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(config.fileName()));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + m_socket));
    QObject::connect(&m_standIn, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* client = m_standIn.nextPendingConnection()) {
            ++m_knocks;
            delete client;
        }
    });
}

SoundServer::~SoundServer() { kill(); }

QString SoundServer::start()
{
    if (QStandardPaths::findExecutable(u"pulseaudio"_s).isEmpty() ||
        QStandardPaths::findExecutable(u"pactl"_s).isEmpty())
        return u"pulseaudio and pactl are not installed (tools/setup installs them)"_s;
    m_standIn.close();
    QLocalServer::removeServer(m_socket);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {u"HOME"_s, u"XDG_RUNTIME_DIR"_s, u"XDG_CONFIG_HOME"_s})
        environment.insert(name, m_dir.path());
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(u"pulseaudio"_s,
                   {u"-n"_s, u"--daemonize=no"_s, u"--use-pid-file=no"_s, u"--exit-idle-time=-1"_s,
                    u"--log-level=error"_s, u"--load=module-null-sink sink_name=null"_s,
                    u"--load=module-native-protocol-unix auth-anonymous=1 socket="_s + m_socket});
    if (!m_server.waitForStarted())
        return m_server.errorString();
    for (int attempt = 0; attempt < 100 && m_server.state() == QProcess::Running; ++attempt) {
        if (pactl({u"info"_s}).has_value())
            return {};
        QTest::qWait(100);
    }
    return u"the server did not answer"_s;
}

void SoundServer::kill()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.kill();
    m_server.waitForFinished();
    QLocalServer::removeServer(m_socket);
    m_standIn.listen(m_socket);
}

int SoundServer::streams() const
{
    const std::optional<QByteArray> out = pactl({u"list"_s, u"short"_s, u"sink-inputs"_s});
    return out ? int(out->count('\n')) : -1;
}
