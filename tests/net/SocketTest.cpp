#include "net/Socket.h"

#include "support/FakeEngine.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class SocketTest : public TWithCoreApplication, public ::testing::Test {
protected:
    // Records every notification of the socket as one word, in order.
    void Record() {
        socket.OnSessionConnected = [this](int e) {
            events.push_back("connected " + std::to_string(e));
        };
        socket.OnDataAvailable = [this] {
            char chunk[4];
            const int n = socket.Receive(chunk, sizeof chunk);
            received.append(chunk, std::size_t(n));
            if (events.empty() || events.back() != "data")
                events.push_back("data");
        };
        socket.OnSessionClosed = [this](int e) { events.push_back("closed " + std::to_string(e)); };
    }

    TWSocket socket;
    std::vector<std::string> events;
    std::string received;
};

TEST_F(SocketTest, DeliversEveryPendingByteBeforeTheClosedNotification) {
    TFakeEngine engine;
    engine.SetFallback(TFakeReply::Raw("0123456789abcdefghij"));
    Record();
    socket.Connect("127.0.0.1", std::to_string(engine.Port()));
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 2000));
    socket.Send("GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(PumpUntil([&] { return events.size() >= 3; }, 2000));
    // Four bytes per Receive: the layer kept calling while bytes remained.
    EXPECT_EQ(received, "0123456789abcdefghij");
    EXPECT_EQ(events, (std::vector<std::string>{"connected 0", "data", "closed 0"}));
    EXPECT_EQ(socket.State(), TSocketState::wsClosed);
    socket.Close(); // delivered before: not again
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(SocketTest, CloseDeliversTheClosedNotificationInsideTheCall) {
    TFakeEngine engine;
    engine.SetFallback(TFakeReply::Silence());
    Record();
    socket.Connect("127.0.0.1", std::to_string(engine.Port()));
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 2000));
    socket.Close();
    EXPECT_EQ(events, (std::vector<std::string>{"connected 0", "closed 0"}));
    socket.Close();
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(SocketTest, AHandlerErrorEndsTheNotificationAndIsDiscarded) {
    TFakeEngine engine;
    engine.SetFallback(TFakeReply::Raw("abcdefgh"));
    int calls = 0;
    bool closed = false;
    socket.OnSessionConnected = [&](int) { socket.Send("GET / HTTP/1.0\r\n\r\n"); };
    socket.OnDataAvailable = [&] {
        ++calls;
        throw std::runtime_error("handler failed");
    };
    socket.OnSessionClosed = [&](int) { closed = true; };
    socket.Connect("127.0.0.1", std::to_string(engine.Port()));
    ASSERT_TRUE(PumpUntil([&] { return closed; }, 2000));
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, 2); // once per notification (data, then the drain before closing)
}

TEST_F(SocketTest, ARefusedConnectReportsWinSockCode10061) {
    int outcome = -1;
    socket.OnSessionConnected = [&](int e) { outcome = e; };
    socket.OnSessionClosed = [&](int) {
        FAIL() << "no closed notification after a failed connect";
    };
    socket.Connect("127.0.0.1", std::to_string(UnusedLoopbackPort()));
    ASSERT_TRUE(PumpUntil([&] { return outcome != -1; }, 2000));
    EXPECT_EQ(outcome, 10061);
    EXPECT_EQ(socket.LastError(), 10061);
}

TEST_F(SocketTest, RejectsAnAddressOrPortThatCannotBeUsedAtOnce) {
    EXPECT_THROW(socket.Connect("host.test", "80"), ESocketException);
    EXPECT_EQ(socket.LastError(), 10049);
    EXPECT_THROW(socket.Connect("127.0.0.1", "http"), ESocketException);
    EXPECT_THROW(socket.Connect("127.0.0.1", "70000"), ESocketException);
    EXPECT_EQ(socket.LastError(), 10022);
}

TEST_F(SocketTest, LooksUpNamesAsynchronouslyAndCancels) {
    int outcome = -1;
    socket.OnDnsLookupDone = [&](int e) { outcome = e; };

    socket.DnsLookup("localhost");
    ASSERT_TRUE(PumpUntil([&] { return outcome != -1; }, 5000));
    EXPECT_EQ(outcome, 0);
    ASSERT_FALSE(socket.DnsResult().empty());
    EXPECT_EQ(socket.DnsResult().front(), "127.0.0.1");

    outcome = -1;
    socket.DnsLookup("nothing.invalid");
    ASSERT_TRUE(PumpUntil([&] { return outcome != -1; }, 5000));
    EXPECT_EQ(outcome, 11001);
    EXPECT_EQ(socket.LastError(), 11001);

    outcome = -1;
    socket.DnsLookup("cancelled.invalid");
    socket.CancelDnsLookup();
    EXPECT_FALSE(PumpUntil([&] { return outcome != -1; }, 100));

    EXPECT_THROW(socket.DnsLookup(""), ESocketException);
}

} // namespace
