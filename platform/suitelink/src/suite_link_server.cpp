#include "platform_suitelink/suite_link_server.h"

#include "platform_suitelink/suite_message.h"
#include "platform_suitelink/suite_name.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

namespace platform {
namespace {

// Two instances started at the same moment must not both find the name
// free, remove each other's socket and both listen; the claim is made
// under a lock file beside the socket.
constexpr int kClaimLockTimeoutMs = 3000;

// A live owner accepts at once (the kernel queues the connection even while
// its event loop is busy); a socket left by a crash refuses at once.
constexpr int kProbeTimeoutMs = 1000;

bool SomebodyListensAt(const QString& path) {
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool connected = probe.waitForConnected(kProbeTimeoutMs);
    probe.abort();
    return connected;
}

} // namespace

SuiteLinkServer::SuiteLinkServer(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SuiteLinkServer::AcceptConnections);
}

SuiteLinkServer::~SuiteLinkServer() {
    Close();
}

bool SuiteLinkServer::Listen(const QString& suiteName) {
    error_.clear();
    if (server_->isListening()) {
        error_ = QStringLiteral("already listening at %1").arg(server_->fullServerName());
        return false;
    }
    const QString path = SuiteSocketPath(suiteName);
    QLockFile claim(path + QStringLiteral(".lock"));
    if (!claim.tryLock(kClaimLockTimeoutMs)) {
        error_ = QStringLiteral("cannot lock %1.lock").arg(path);
        return false;
    }
    // Asked before listening: a listen that replaced the socket file of a
    // live owner would leave two instances each believing it is the first.
    if (SomebodyListensAt(path)) {
        error_ = QStringLiteral("another instance owns %1").arg(path);
        return false;
    }
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

void SuiteLinkServer::Close() {
    if (server_->isListening())
        server_->close();
}

bool SuiteLinkServer::IsListening() const {
    return server_->isListening();
}

QString SuiteLinkServer::SocketPath() const {
    return server_->fullServerName();
}

void SuiteLinkServer::AcceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadLines(socket); });
        QTimer::singleShot(connectionTimeoutMs_, socket, [socket] { socket->abort(); });
        // Data may have arrived before the connection was taken.
        ReadLines(socket);
    }
}

void SuiteLinkServer::ReadLines(QLocalSocket* socket) {
    // A slot may close or delete the server, or the peer may vanish, while
    // a signal is out; both are checked before the next line.
    const QPointer<SuiteLinkServer> self(this);
    const QPointer<QLocalSocket> guard(socket);
    while (guard && socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxSuiteLineBytes + 1);
        if (!line.endsWith('\n')) {
            socket->write("error\n");
            socket->disconnectFromServer();
            return;
        }
        const auto message = ParseSuiteLine(QByteArrayView(line).chopped(1));
        // Answer before acting: the sender only waits for the receipt, not
        // for whatever the message starts here.
        socket->write(message ? "ok\n" : "error\n");
        socket->flush();
        if (!message)
            continue;
        switch (message->type) {
        case SuiteMessage::Type::Restore:
            emit restoreRequested();
            break;
        case SuiteMessage::Type::Result:
            emit resultDelivered(message->kind, message->path);
            break;
        case SuiteMessage::Type::Open:
            emit openRequested(message->path);
            break;
        }
        if (!self)
            return;
    }
    // A sender that never ends its line is not one of ours; drop it rather
    // than buffer without bound.
    if (guard && !socket->canReadLine() && socket->bytesAvailable() > kMaxSuiteLineBytes) {
        socket->write("error\n");
        socket->disconnectFromServer();
    }
}

} // namespace platform
