#include "shell/SingleInstance.h"

#include "platform/Settings.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFileInfo>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>

namespace {

const QByteArray kActivateRequest("activate\n");

QString userName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QStringLiteral("user");
    QString safe;
    for (const QChar c : user)
        safe += (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-')) ? c : QLatin1Char('_');
    return safe;
}

} // namespace

SingleInstance::SingleInstance(const QString &className, QObject *parent)
    : QObject(parent), m_name(ServerName(className))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName(const QString &className)
{
    const QString settings = QFileInfo(platform::Settings::fileName()).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(settings.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return className + QLatin1Char('-') + userName() + QLatin1Char('-') + QString::fromLatin1(hash);
}

bool SingleInstance::IsOtherCopyRunning(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    const bool found = socket.waitForConnected(timeoutMs);
    if (found)
        socket.disconnectFromServer();
    return found;
}

bool SingleInstance::ActivateOtherCopy(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivateRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}

bool SingleInstance::Listen()
{
    if (m_server && m_server->isListening())
        return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    }
    if (m_server->listen(m_name))
        return true;
    // A socket left behind by a copy that did not end normally: nobody
    // answers on it, so it is replaced.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError && !IsOtherCopyRunning(500)) {
        QLocalServer::removeServer(m_name);
        return m_server->listen(m_name);
    }
    return false;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        auto drain = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kActivateRequest && m_onActivate)
                    m_onActivate();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, drain);
        connect(socket, &QLocalSocket::disconnected, this, [socket, drain] {
            drain();
            socket->deleteLater();
        });
    }
}
