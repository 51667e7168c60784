#pragma once
// The receiving end of the suite link: owns the program's per-user local
// socket and turns each line a client sends into a signal. Owning the
// socket is also what makes a program the single running instance.
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace platform {

class SuiteLinkServer : public QObject {
    Q_OBJECT

  public:
    explicit SuiteLinkServer(QObject* parent = nullptr);
    ~SuiteLinkServer() override;

    // Claims suiteName for this user. A socket left behind by a crashed
    // instance (nobody answers on it) is removed and taken over. false when
    // a live instance owns the name or the socket cannot be created;
    // ErrorString() then says why. The socket is accessible to this user
    // only.
    bool Listen(const QString& suiteName);

    // Stops listening and removes the socket.
    void Close();

    // A client has this long after connecting to send its lines; then the
    // connection is dropped, so clients that never finish (or never hang
    // up) cannot pile up open sockets. Default 10 s.
    void SetConnectionTimeout(int ms) { connectionTimeoutMs_ = ms; }

    bool IsListening() const;
    QString SocketPath() const;
    QString ErrorString() const { return error_; }

  signals:
    void restoreRequested();
    void resultDelivered(int kind, const QString& path);
    void openRequested(const QString& path);

  private:
    void AcceptConnections();
    void ReadLines(QLocalSocket* socket);

    QLocalServer* server_;
    QString error_;
    int connectionTimeoutMs_ = 10000;
};

} // namespace platform
