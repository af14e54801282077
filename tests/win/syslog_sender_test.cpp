#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "alert/syslog_outlet_win.h"
#include "alert/syslog_sender_win.h"

namespace {

// A collector's socket on the loopback, on a port the system chose (or the one given).
struct Collector {
    UniqueSocket socket;
    uint16_t port = 0;
    Collector(int type, uint16_t wanted = 0) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket.reset(::socket(AF_INET, type, 0));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(wanted);
        int length = sizeof address;
        bind(socket.get(), reinterpret_cast<sockaddr*>(&address), length);
        getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        const DWORD timeoutMs = 8000;
        setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
        if (type == SOCK_STREAM)
            listen(socket.get(), 1);
    }
    ~Collector() { socket.reset(), WSACleanup(); }
    // The next connection, if one comes within the receive timeout.
    UniqueSocket accepted() {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(socket.get(), &ready);
        timeval timeout = {8, 0};
        return UniqueSocket(select(0, &ready, nullptr, nullptr, &timeout) == 1 ? accept(socket.get(), nullptr, nullptr)
                                                                               : INVALID_SOCKET);
    }
    // The bytes one receive gives (a datagram, or what a stream has so far).
    static std::string receive(SOCKET from) {
        char buffer[4096];
        const int length = recv(from, buffer, sizeof buffer, 0);
        return length > 0 ? std::string(buffer, length) : std::string();
    }
};

const SyslogField kFields[] = {{"gateway", "192.0.2.1"}, {"mac", "02-FC-00-00-00-05"}};

}  // namespace

TEST(SyslogSender, OneDatagramPerMessage) {
    Collector collector(SOCK_DGRAM);
    SyslogSender sender;
    ASSERT_TRUE(sender.start({SyslogTransport::Udp, "127.0.0.1", collector.port}, "0.4"));
    ASSERT_TRUE(sender.send(SyslogSeverity::Warning, "CONFLICT", kFields));
    const std::string datagram = Collector::receive(collector.socket.get());
    EXPECT_EQ(datagram.rfind("<84>1 ", 0), 0u) << datagram;
    EXPECT_NE(datagram.find(" XirARP " + std::to_string(GetCurrentProcessId()) + " CONFLICT [origin"),
              std::string::npos);
    EXPECT_NE(datagram.find("[meta sequenceId=\"1\"] \xEF\xBB\xBFgateway=192.0.2.1 mac=02-FC-00-00-00-05"),
              std::string::npos)
        << datagram;
}

// The collector is not there yet: the message waits, the connection is tried again, and it arrives whole, framed,
// once the collector listens. A stop then ends the thread at once.
TEST(SyslogSender, TcpWaitsForTheCollectorAndFramesByOctetCount) {
    uint16_t port = 0;
    { port = Collector(SOCK_STREAM).port; }  // a port nobody listens on now
    SyslogSender sender;
    ASSERT_TRUE(sender.start({SyslogTransport::Tcp, "127.0.0.1", port}, "0.4"));
    ASSERT_TRUE(sender.send(SyslogSeverity::Notice, "PINNED", kFields));
    Sleep(300);  // the first connection is refused
    Collector collector(SOCK_STREAM, port);
    ASSERT_EQ(collector.port, port);
    const UniqueSocket connection = collector.accepted();
    ASSERT_TRUE(connection);
    ASSERT_TRUE(sender.send(SyslogSeverity::Notice, "AWAY", {}));
    std::string stream;
    for (int i = 0; i < 4 && stream.find("AWAY") == std::string::npos; ++i)
        stream += Collector::receive(connection.get());
    for (const char* expected : {"PINNED", "AWAY"}) {
        const size_t space = stream.find(' ');
        ASSERT_NE(space, std::string::npos) << stream;
        const size_t length = std::stoul(stream.substr(0, space));
        const std::string message = stream.substr(space + 1, length);
        EXPECT_EQ(message.size(), length);
        EXPECT_EQ(message.rfind("<85>1 ", 0), 0u);
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        stream.erase(0, space + 1 + length);
    }
    EXPECT_EQ(stream, "");
    const DWORD before = GetTickCount();
    sender.stop();
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_FALSE(sender.send(SyslogSeverity::Notice, "AFTER", {}));
}

// The window stops its outlet at every Apply and uses the same collector again: it must send again. A state's
// message carries the table's MSGID and the news record's fields.
TEST(SyslogOutlet, SendsAgainAfterAStopWithTheSameCollector) {
    Collector collector(SOCK_DGRAM);
    SyslogOutlet outlet;
    GatewayNews news;
    news.state = GatewayState::Silent;
    news.gateway = "192.0.2.1";
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(outlet.use("udp://127.0.0.1:" + std::to_string(collector.port)));
        outlet.tell(news, true);
        const std::string datagram = Collector::receive(collector.socket.get());
        EXPECT_NE(datagram.find(" SILENT [origin"), std::string::npos) << round << datagram;
        EXPECT_NE(datagram.find("\xEF\xBB\xBFstate=SILENT gateway=192.0.2.1 "), std::string::npos) << datagram;
        outlet.stop();
    }
    EXPECT_FALSE(outlet.use("tls://127.0.0.1"));
}
