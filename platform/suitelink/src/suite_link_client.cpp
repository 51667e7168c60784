#include "platform_suitelink/suite_link_client.h"

#include "platform_suitelink/suite_name.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace platform {
namespace {

int Remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

} // namespace

bool SendToSuite(const QString& suiteName, const SuiteMessage& message, int timeoutMs) {
    const auto line = EncodeSuiteLine(message);
    if (!line)
        return false;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    QLocalSocket socket;
    socket.connectToServer(SuiteSocketPath(suiteName));
    if (!socket.waitForConnected(Remaining(deadline)))
        return false;
    socket.write(*line);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(Remaining(deadline)))
            return false;
    }
    // The answer is "ok" or "error"; anything longer is not our server.
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > 16 || !socket.waitForReadyRead(Remaining(deadline)))
            return false;
    }
    const QByteArray answer = socket.readLine(64).trimmed();
    socket.disconnectFromServer();
    return answer == "ok";
}

} // namespace platform
