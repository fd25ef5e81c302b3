#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace strumox::app {

namespace {
const QByteArray kActivate = "ACTIVATE\n";
const QByteArray kOpen = "OPEN\n";
constexpr int kMaxMessage = 64 * 1024;
}  // namespace

SingleInstance::SingleInstance(QString key, QObject* parent) : QObject(parent), m_key(std::move(key)) {}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultKey()
{
    // The user id, not a name from the environment: it cannot be unset or borrowed.
    return QStringLiteral("Velmora.Strumox-") + QString::number(qulonglong(getuid()));
}

bool SingleInstance::claim()
{
    // A live first copy answers a connection; a stale socket file does not.
    {
        QLocalSocket probe;
        probe.connectToServer(m_key);
        if (probe.waitForConnected(500)) {
            probe.disconnectFromServer();
            return false;
        }
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key)) {
        QLocalServer::removeServer(m_key);
        if (!m_server->listen(m_key)) {
            // Without the socket we cannot guard; run anyway rather than refuse to start.
            qWarning("single-instance socket unavailable: %s", qPrintable(m_server->errorString()));
            return true;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    return true;
}

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message = kActivate;
    if (arguments.size() == 1)
        message = kOpen + arguments.first().toUtf8() + '\0';
    socket.write(message);
    socket.flush();
    // Close our side of the write so the first copy knows the message is complete.
    socket.waitForBytesWritten(timeoutMs);
    bool answered = socket.waitForReadyRead(timeoutMs);
    socket.disconnectFromServer();
    return answered;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            const QByteArray data = socket->peek(kMaxMessage + 1);
            QString path;
            if (data.startsWith(kOpen)) {
                const int end = data.indexOf('\0', kOpen.size());
                if (end < 0) {
                    if (data.size() > kMaxMessage)
                        socket->abort();
                    return;  // the rest of the path is still on its way
                }
                path = QString::fromUtf8(data.mid(kOpen.size(), end - kOpen.size()));
            } else if (!data.startsWith(kActivate)) {
                if (data.size() >= kActivate.size())
                    socket->abort();  // not one of ours
                return;
            }
            socket->readAll();
            socket->write(path.isEmpty() ? "0" : "1");
            socket->flush();
            emit activationRequested(path);
        };
        // The message arrives in one write; wait briefly for it, since the sender waits for
        // our answer before it closes.
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

}  // namespace strumox::app
