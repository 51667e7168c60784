#include "platform_suitelink/single_instance.h"
#include "platform_suitelink/suite_link_client.h"
#include "platform_suitelink/suite_link_server.h"
#include "platform_suitelink/suite_name.h"

#include "print_suite_message.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

using platform::SendToSuite;
using platform::SuiteLinkServer;
using platform::SuiteMessage;

namespace {

// Unique per process and call: test processes run in parallel.
QString UniqueSuiteName() {
    static int counter = 0;
    return QStringLiteral("SuiteLinkTest-%1-%2").arg(::getpid()).arg(++counter);
}

// Runs a blocking client on another thread while this thread serves.
template <class F> auto WhileServing(F client) {
    auto result = std::async(std::launch::async, client);
    while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return result.get();
}

// Everything a server announced, as the messages it understood.
struct Received {
    std::vector<SuiteMessage> messages;
    explicit Received(SuiteLinkServer& server) {
        QObject::connect(&server, &SuiteLinkServer::restoreRequested,
                         [this] { messages.push_back(SuiteMessage::Restore()); });
        QObject::connect(&server, &SuiteLinkServer::resultDelivered,
                         [this](int kind, const QString& path) {
                             messages.push_back(SuiteMessage::Result(kind, path));
                         });
        QObject::connect(&server, &SuiteLinkServer::openRequested, [this](const QString& path) {
            messages.push_back(SuiteMessage::Open(path));
        });
    }
};

// What a crashed owner leaves: a socket file nobody listens on.
void LeaveStaleSocket(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(bytes.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

// Sends raw bytes and collects the answer lines until the server has
// answered `lines` times or closed the connection.
std::vector<std::string> SendRaw(const QString& suiteName, const QByteArray& bytes, int lines) {
    QLocalSocket socket;
    socket.connectToServer(platform::SuiteSocketPath(suiteName));
    std::vector<std::string> answers;
    if (!socket.waitForConnected(2000))
        return answers;
    socket.write(bytes);
    socket.waitForBytesWritten(2000);
    while (static_cast<int>(answers.size()) < lines) {
        if (!socket.canReadLine() && !socket.waitForReadyRead(2000)) {
            if (!socket.canReadLine())
                break;
        }
        while (socket.canReadLine())
            answers.push_back(socket.readLine().trimmed().toStdString());
    }
    return answers;
}

struct MessageRow {
    const char* name;
    SuiteMessage message;
};

void PrintTo(const MessageRow& row, std::ostream* os) {
    *os << row.name;
}

class SuiteLinkRoundTrip : public ::testing::TestWithParam<MessageRow> {};

} // namespace

TEST_P(SuiteLinkRoundTrip, ServerAnnouncesWhatTheClientSent) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer server;
    Received received(server);
    ASSERT_TRUE(server.Listen(name)) << server.ErrorString().toStdString();

    const SuiteMessage& sent = GetParam().message;
    EXPECT_TRUE(WhileServing([&] { return SendToSuite(name, sent, 5000); }));
    EXPECT_EQ(received.messages, std::vector<SuiteMessage>{sent});
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SuiteLinkRoundTrip,
    ::testing::Values(
        MessageRow{"Restore", SuiteMessage::Restore()},
        MessageRow{"ResultNonAsciiPath",
                   SuiteMessage::Result(6, QString::fromUtf8("/data/run 1/Größe φ₂.odf"))},
        MessageRow{"ResultAddToOpenDocument", SuiteMessage::Result(-12, "relative name.gbcd")},
        MessageRow{"OpenLeadingSpace",
                   SuiteMessage::Open(QString::fromUtf8(" /home/ü/page one.grdoc"))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SuiteLink, SocketIsForThisUserOnly) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer server;
    ASSERT_TRUE(server.Listen(name)) << server.ErrorString().toStdString();
    EXPECT_EQ(server.SocketPath(), platform::SuiteSocketPath(name));
    const QFileInfo info(server.SocketPath());
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.ownerId(), ::getuid());
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(info.permissions() & others, QFileDevice::Permissions());
    server.Close();
    EXPECT_FALSE(QFileInfo::exists(platform::SuiteSocketPath(name)));
}

TEST(SuiteLink, StaleSocketIsTakenOver) {
    const QString name = UniqueSuiteName();
    LeaveStaleSocket(platform::SuiteSocketPath(name));
    SuiteLinkServer server;
    Received received(server);
    ASSERT_TRUE(server.Listen(name)) << server.ErrorString().toStdString();
    EXPECT_TRUE(WhileServing([&] { return SendToSuite(name, SuiteMessage::Restore(), 5000); }));
    EXPECT_EQ(received.messages.size(), 1u);
}

TEST(SuiteLink, LiveOwnerKeepsTheName) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer first;
    Received received(first);
    ASSERT_TRUE(first.Listen(name));

    SuiteLinkServer second;
    EXPECT_FALSE(second.Listen(name));
    EXPECT_FALSE(second.ErrorString().isEmpty());
    EXPECT_FALSE(second.IsListening());
    // The failed claim left the first server reachable.
    EXPECT_TRUE(WhileServing([&] { return SendToSuite(name, SuiteMessage::Open("/a"), 5000); }));
    EXPECT_EQ(received.messages, std::vector<SuiteMessage>{SuiteMessage::Open("/a")});

    first.Close();
    EXPECT_TRUE(second.Listen(name)) << second.ErrorString().toStdString();
}

TEST(SuiteLink, ClientWithoutServerFailsPromptly) {
    const QString absent = UniqueSuiteName();
    const QString stale = UniqueSuiteName();
    LeaveStaleSocket(platform::SuiteSocketPath(stale));
    for (const QString& name : {absent, stale}) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(SendToSuite(name, SuiteMessage::Restore(), 5000));
        EXPECT_LT(timer.elapsed(), 1000);
    }
    QFile::remove(platform::SuiteSocketPath(stale));
}

TEST(SuiteLink, MalformedInputIsAnsweredAndIgnored) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer server;
    Received received(server);
    ASSERT_TRUE(server.Listen(name));

    const auto answers = WhileServing(
        [&] { return SendRaw(name, "garbage\nresult x /a\n\nopen /a b\nopen /c\xff\n", 5); });
    EXPECT_EQ(answers, (std::vector<std::string>{"error", "error", "error", "ok", "error"}));
    EXPECT_EQ(received.messages, std::vector<SuiteMessage>{SuiteMessage::Open("/a b")});

    // A line without end is cut off instead of buffered without bound.
    const auto overlong = WhileServing(
        [&] { return SendRaw(name, QByteArray(platform::kMaxSuiteLineBytes + 10, 'x'), 1); });
    EXPECT_EQ(overlong, std::vector<std::string>{"error"});

    // A client that hangs up mid-line does no harm either.
    WhileServing([&] { return SendRaw(name, "result 6 /half", 0); });
    EXPECT_TRUE(WhileServing([&] { return SendToSuite(name, SuiteMessage::Restore(), 5000); }));
    EXPECT_EQ(received.messages.size(), 2u);
}

// A client that connects and then neither writes nor hangs up is dropped.
TEST(SuiteLink, SilentClientIsDisconnected) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer server;
    server.SetConnectionTimeout(200);
    ASSERT_TRUE(server.Listen(name));

    const bool dropped = WhileServing([&] {
        QLocalSocket socket;
        socket.connectToServer(platform::SuiteSocketPath(name));
        if (!socket.waitForConnected(2000))
            return false;
        QElapsedTimer timer;
        timer.start();
        const bool closed = socket.waitForDisconnected(5000);
        return closed && timer.elapsed() < 3000;
    });
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(WhileServing([&] { return SendToSuite(name, SuiteMessage::Restore(), 5000); }));
}

TEST(SuiteLink, SecondInstanceRestoresTheFirst) {
    const QString name = UniqueSuiteName();
    SuiteLinkServer first;
    Received received(first);
    ASSERT_EQ(platform::ClaimSingleInstance(first, name), platform::InstanceRole::First);

    const auto second = WhileServing([&] {
        SuiteLinkServer server;
        return platform::ClaimSingleInstance(server, name);
    });
    EXPECT_EQ(second, platform::InstanceRole::Second);
    EXPECT_EQ(received.messages, std::vector<SuiteMessage>{SuiteMessage::Restore()});

    first.Close();
    SuiteLinkServer next;
    EXPECT_EQ(platform::ClaimSingleInstance(next, name), platform::InstanceRole::First);
}
