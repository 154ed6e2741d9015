#include "net/TimedHttpCli.h"

#include "platform/Clock.h"
#include "support/FakeEngine.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

TEST(IsIPAddress, AcceptsFourNumbersUpTo255Only) {
    const struct {
        const char* text;
        bool ip;
    } cases[] = {
        {"127.0.0.1", true},  {"0.0.0.0", true}, {"255.255.255.255", true}, {"256.0.0.1", false},
        {"1.2.3", false},     {"1.2.3.", false}, {"1.2.3.4.5", false},      {"a.b.c.d", false},
        {"host.test", false}, {"", false},       {"1.2.3.-4", false},       {" 1.2.3.4", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsIPAddress(c.text), c.ip) << c.text;
}

TEST(DomainsIPList, FindsTheFirstAddressOfANameInAnyLetterCase) {
    TDomainsIPList cache;
    EXPECT_FALSE(cache.LookupAddress("engine.test"));
    cache.AddLookupResult({"10.0.0.1", "", "10.0.0.2"}, "Engine.Test");
    cache.AddLookupResult({"10.0.0.9"}, "");
    cache.AddLookupResult({"10.0.0.3"}, "engine.test");
    EXPECT_EQ(cache.LookupAddress("ENGINE.test"), "10.0.0.1");
    EXPECT_FALSE(cache.LookupAddress(""));
}

class TimedHttpCliTest : public TWithCoreApplication, public ::testing::Test {
protected:
    void TearDown() override { ApplicationEnding = false; }

    TFakeEngine engine;
    TTimedHttpCli client;
};

TEST_F(TimedHttpCliTest, ARefusedConnectFinishesWith404AndTheSocketCode) {
    client.URL = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/";
    EXPECT_EQ(client.GetTimed(5000), WaitDone);
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_EQ(client.ReasonPhrase(), "Connection refused (Error #10061)");
    EXPECT_EQ(client.CtrlSocket().LastError(), 10061);
    EXPECT_EQ(client.RequestDoneError(), 10061);
}

TEST_F(TimedHttpCliTest, ResolvesOnceThroughTheCacheAndNeverCachesLiteralAddresses) {
    engine.SetFallback(TFakeReply::Page("<html></html>"));
    TDomainsIPList cache;
    client.DomainsIPList = &cache;
    client.URL = engine.Url("/");
    ASSERT_EQ(client.GetTimed(5000), WaitDone);
    EXPECT_FALSE(cache.LookupAddress("127.0.0.1"));

    client.URL = "http://localhost:" + std::to_string(engine.Port()) + "/";
    TTimedHttpCli first;
    first.DomainsIPList = &cache;
    first.URL = client.URL;
    ASSERT_EQ(first.GetTimed(5000), WaitDone);
    EXPECT_EQ(first.StatusCode(), 200);
    EXPECT_EQ(cache.LookupAddress("localhost"), "127.0.0.1");

    // The second client must take the cached address: a stale entry proves no lookup ran.
    TDomainsIPList stale;
    stale.AddLookupResult({"127.0.0.1"}, "LOCALHOST");
    TFakeEngine other;
    other.SetFallback(TFakeReply::Page("<html>other</html>"));
    TTimedHttpCli second;
    second.DomainsIPList = &stale;
    second.URL = "http://localhost:" + std::to_string(other.Port()) + "/";
    ASSERT_EQ(second.GetTimed(5000), WaitDone);
    EXPECT_EQ(second.StatusCode(), 200);
    EXPECT_EQ(other.RequestCount(), 1u);
}

TEST_F(TimedHttpCliTest, LookupFailuresFinishTheRequestWithTheirReasons) {
    client.URL = "http://nothing.invalid/page";
    EXPECT_EQ(client.GetTimed(5000), WaitDone);
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_EQ(client.ReasonPhrase(), "can't resolve hostname (nothing.invalid) to IP address");
    EXPECT_EQ(client.RequestError(), 11001);
    EXPECT_EQ(client.CtrlSocket().LastError(), 11001);
    EXPECT_EQ(client.State(), THttpState::Idle);

    TTimedHttpCli noHost;
    noHost.URL = "http:///page";
    EXPECT_EQ(noHost.GetTimed(5000), WaitDone);
    EXPECT_EQ(noHost.StatusCode(), 404);
    EXPECT_EQ(noHost.ReasonPhrase(), "DNS lookup: invalid host name.");
    EXPECT_EQ(noHost.RequestError(), 0);
}

TEST_F(TimedHttpCliTest, SilenceTimesOutAfterTheAllowance) {
    engine.SetFallback(TFakeReply::Silence());
    client.URL = engine.Url("/");
    const std::uint32_t start = Clock::TickCount();
    EXPECT_EQ(client.GetTimed(200), WaitTimedOut);
    const std::uint32_t elapsed = Clock::TickCount() - start;
    EXPECT_GE(elapsed, 200u);
    EXPECT_LT(elapsed, 2000u);
    EXPECT_EQ(client.RequestError(), 3);
    EXPECT_EQ(client.State(), THttpState::Idle);
    EXPECT_EQ(engine.RequestCount(), 1u);
}

TEST_F(TimedHttpCliTest, ASlowAnswerThatNeverFallsSilentIsNotTimedOut) {
    // Pieces of 6 bytes, 40 ms apart: the answer takes twice the allowance, but a header line
    // or a body piece completes well within it every time.
    engine.SetFallback(TFakeReply::Page(std::string(60, 'x')).Drip(6, 40));
    client.URL = engine.Url("/");
    EXPECT_EQ(client.GetTimed(250), WaitDone);
    EXPECT_EQ(client.StatusCode(), 200);
}

TEST_F(TimedHttpCliTest, OnWaitCancelsWithinAPass) {
    engine.SetFallback(TFakeReply::Silence());
    int asked = 0;
    client.OnWait = [&](QObject*, bool& canAbort) {
        canAbort = engine.RequestCount() > 0 && ++asked;
    };
    client.URL = engine.Url("/");
    EXPECT_EQ(client.GetTimed(60000), WaitCancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(client.RequestError(), 3);
    EXPECT_EQ(client.State(), THttpState::Idle);
}

TEST_F(TimedHttpCliTest, EndingApplicationAndZeroAllowanceEndWaitsAsTimedOut) {
    engine.SetFallback(TFakeReply::Silence());
    ApplicationEnding = true;
    client.URL = engine.Url("/");
    EXPECT_EQ(client.GetTimed(60000), WaitTimedOut);
    ApplicationEnding = false;

    TTimedHttpCli zero;
    zero.URL = engine.Url("/");
    EXPECT_EQ(zero.GetTimed(0), WaitTimedOut);
    EXPECT_EQ(zero.State(), THttpState::Idle);
}

TEST_F(TimedHttpCliTest, AProxyWithoutAnyPortIsTriedOnPortZeroAndFails) {
    client.Proxy = "127.0.0.1";
    client.ProxyPort = "0";
    client.URL = "http://www.example.test/";
    EXPECT_NE(client.GetTimed(2000), WaitCancelled);
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_NE(client.CtrlSocket().LastError(), 0);
}

} // namespace
