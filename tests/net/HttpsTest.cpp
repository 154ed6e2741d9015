// Secure requests against loopback TLS fake engines whose certificates come from a CA the test
// makes at start-up: verification, redirects between the schemes, the CONNECT tunnel through a
// proxy, and the waits while a handshake hangs.

#include "net/TimedHttpCli.h"

#include "support/FakeEngine.h"
#include "support/QtTestApp.h"
#include "support/TestPki.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

constexpr int Patient = 5000;
const QHostAddress LocalHost(QHostAddress::LocalHost);
const std::string SecureFailure = "can't establish a secure connection: ";

class HttpsTest : public TWithCoreApplication, public ::testing::Test {
protected:
    void SetUp() override {
        static const bool trusted = (TrustCaCertificates(TestPki().CaFile), true);
        ASSERT_TRUE(trusted);
        names.AddLookupResult({"127.0.0.1"}, TestTlsHost);
        names.AddLookupResult({"127.0.0.1"}, "wrong.test");
        client.DomainsIPList = &names;
        client.BodyStream = &body;
    }

    static std::string SecureUrl(const TFakeEngine& engine, const std::string& path,
                                 const std::string& host = TestTlsHost) {
        return "https://" + host + ":" + std::to_string(engine.Port()) + path;
    }
    TWaitOutcome Get(const std::string& url, int timeoutMs = Patient) {
        client.URL = url;
        return client.GetTimed(timeoutMs);
    }

    TDomainsIPList names;
    std::ostringstream body;
    TTimedHttpCli client;
};

TEST_F(HttpsTest, FetchesFromAServerWhoseCertificateChainsToATrustedCa) {
    TFakeEngine secure(LocalHost, &TestPki().Trusted);
    secure.Route("/search?q=x", TFakeReply::Page("<html>secret</html>"));
    ASSERT_EQ(Get(SecureUrl(secure, "/search?q=x")), WaitDone);
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(body.str(), "<html>secret</html>");
    ASSERT_EQ(secure.RequestCount(), 1u);
    EXPECT_EQ(secure.Requests()[0].Raw.substr(0, 26), "GET /search?q=x HTTP/1.0\r\n");
    EXPECT_EQ(secure.Requests()[0].Header("host"), TestTlsHost);
    EXPECT_EQ(client.CtrlSocket().LastError(), 0);
}

TEST_F(HttpsTest, AServerThatCannotProveItsNameEndsTheRequestWithTheTlsError) {
    TFakeEngine selfSigned(LocalHost, &TestPki().Untrusted);
    TFakeEngine trusted(LocalHost, &TestPki().Trusted);
    TFakeEngine proxy;
    proxy.Route("secure.test:443", TFakeReply::Tunnel(selfSigned.Port()));
    const struct {
        const char* name;
        std::string url;
        bool throughProxy;
        const char* error; // a word of the TLS library's text
    } cases[] = {
        {"untrusted certificate", SecureUrl(selfSigned, "/"), false, "self-signed"},
        {"wrong host name", SecureUrl(trusted, "/", "wrong.test"), false, "host name"},
        {"untrusted, in a tunnel", "https://secure.test/", true, "self-signed"},
    };
    for (const auto& c : cases) {
        TTimedHttpCli http;
        http.DomainsIPList = &names;
        if (c.throughProxy)
            http.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
        int done = 0;
        http.OnRequestDone = [&](THttpCli&, THttpRequest, int) { ++done; };
        http.URL = c.url;
        ASSERT_EQ(http.GetTimed(Patient), WaitDone) << c.name;
        EXPECT_EQ(http.StatusCode(), 404) << c.name;
        EXPECT_TRUE(http.ReasonPhrase().starts_with(SecureFailure)) << http.ReasonPhrase();
        EXPECT_NE(http.ReasonPhrase().find(c.error), std::string::npos) << http.ReasonPhrase();
        EXPECT_EQ(http.CtrlSocket().LastError(), 0) << c.name;
        PumpUntil([] { return false; }, 50); // a second finish would come by now
        EXPECT_EQ(done, 1) << c.name;
    }
    EXPECT_EQ(selfSigned.RequestCount() + trusted.RequestCount(), 0u); // nothing was sent
}

TEST_F(HttpsTest, FollowsRedirectsBetweenPlainAndSecureAddresses) {
    TFakeEngine plain;
    TFakeEngine secure(LocalHost, &TestPki().Trusted);
    plain.Route("/up", TFakeReply::Redirect(SecureUrl(secure, "/landing")));
    secure.Route("/landing", TFakeReply::Page("<html>secure</html>"));
    secure.Route("/down", TFakeReply::Redirect(plain.Url("/landing")));
    plain.Route("/landing", TFakeReply::Page("<html>plain</html>"));
    secure.Route("/moved", TFakeReply::Redirect("/landing"));
    secure.Route("/dir/page", TFakeReply::Redirect("other?p=2"));
    secure.Route("/dir/other?p=2", TFakeReply::Page("<html>relative</html>"));
    const struct {
        std::string from, to, body;
    } cases[] = {
        {plain.Url("/up"), SecureUrl(secure, "/landing"), "<html>secure</html>"},
        {SecureUrl(secure, "/down"), plain.Url("/landing"), "<html>plain</html>"},
        // References within a secure site stay secure.
        {SecureUrl(secure, "/moved"), SecureUrl(secure, "/landing"), "<html>secure</html>"},
        {SecureUrl(secure, "/dir/page"), SecureUrl(secure, "/dir/other?p=2"),
         "<html>relative</html>"},
    };
    for (const auto& c : cases) {
        std::ostringstream received;
        TTimedHttpCli http;
        http.DomainsIPList = &names;
        http.BodyStream = &received;
        http.URL = c.from;
        ASSERT_EQ(http.GetTimed(Patient), WaitDone) << c.from;
        EXPECT_EQ(http.StatusCode(), 200) << c.from;
        EXPECT_EQ(http.Location(), c.to) << c.from;
        EXPECT_EQ(received.str(), c.body) << c.from;
    }
}

TEST_F(HttpsTest, TunnelsThroughTheProxyWithConnectAndSendsThePathFormInside) {
    TFakeEngine secure(LocalHost, &TestPki().Trusted);
    secure.Route("/search?q=x", TFakeReply::Page("<html>tunnelled</html>"));
    TFakeEngine proxy;
    proxy.Route("secure.test:443", TFakeReply::Tunnel(secure.Port()));
    client.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    client.Agent = "Agent/1.0";
    ASSERT_EQ(Get("https://secure.test/search?q=x"), WaitDone);
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(body.str(), "<html>tunnelled</html>");
    ASSERT_EQ(proxy.RequestCount(), 1u);
    EXPECT_EQ(proxy.Requests()[0].Raw, "CONNECT secure.test:443 HTTP/1.0\r\n"
                                       "Host: secure.test:443\r\n"
                                       "\r\n");
    // The proxy sees the server name only in the handshake, and never the request.
    EXPECT_NE(proxy.TunnelledBytes().find(TestTlsHost), std::string::npos);
    EXPECT_EQ(proxy.TunnelledBytes().find("GET "), std::string::npos);
    ASSERT_EQ(secure.RequestCount(), 1u);
    EXPECT_EQ(secure.Requests()[0].Target, "/search?q=x");
    EXPECT_EQ(secure.Requests()[0].Header("host"), TestTlsHost);

    // Proxy credentials belong to the CONNECT; the server behind the proxy never gets them.
    TTimedHttpCli withLogin;
    withLogin.Proxy = client.Proxy;
    withLogin.ProxyUsername = "pu";
    withLogin.ProxyPassword = "pp";
    withLogin.URL = "https://secure.test/search?q=x";
    ASSERT_EQ(withLogin.GetTimed(Patient), WaitDone);
    ASSERT_EQ(proxy.RequestCount(), 2u);
    EXPECT_EQ(proxy.Requests()[1].Header("proxy-authorization"), "Basic cHU6cHA=");
    ASSERT_EQ(secure.RequestCount(), 2u);
    EXPECT_EQ(secure.Requests()[1].Header("proxy-authorization"), "");
}

TEST_F(HttpsTest, AnyAnswerToConnectButOk200EndsTheRequest) {
    const struct {
        const char* name;
        std::string answer;
        int status;
        std::string reason;
    } cases[] = {
        {"refusal",
         "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n", 407,
         "Proxy Authentication Required"},
        {"close before the blank line", "HTTP/1.0 200 OK\r\n", 0, ""},
        {"no HTTP", "<html>blocked</html>\r\n", 404,
         SecureFailure + "the proxy answered CONNECT without an HTTP status line"},
    };
    for (const auto& c : cases) {
        TFakeEngine proxy;
        proxy.SetFallback(TFakeReply::Raw(c.answer));
        TTimedHttpCli http;
        http.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
        http.URL = "https://secure.test:8443/";
        ASSERT_EQ(http.GetTimed(Patient), WaitDone) << c.name;
        EXPECT_EQ(http.StatusCode(), c.status) << c.name;
        EXPECT_EQ(http.ReasonPhrase(), c.reason) << c.name;
        EXPECT_EQ(http.CtrlSocket().LastError(), 0) << c.name;
        ASSERT_EQ(proxy.RequestCount(), 1u) << c.name;
        EXPECT_EQ(proxy.Requests()[0].Target, "secure.test:8443") << c.name;
    }
}

TEST_F(HttpsTest, TheDeadlineAndTheStopEndAHandshakeThatHangs) {
    TFakeEngine silent; // takes the TCP connection and never answers the handshake
    silent.SetFallback(TFakeReply::Silence());
    TFakeEngine proxy;
    proxy.Route("secure.test:443", TFakeReply::Tunnel(silent.Port()));
    const struct {
        const char* name;
        bool throughProxy;
        bool stop;
        TWaitOutcome outcome;
    } cases[] = {
        {"direct, deadline", false, false, WaitTimedOut},
        {"direct, stop", false, true, WaitCancelled},
        {"tunnel, deadline", true, false, WaitTimedOut},
        {"tunnel, stop", true, true, WaitCancelled},
    };
    for (const auto& c : cases) {
        TTimedHttpCli http;
        http.DomainsIPList = &names;
        int passes = 0;
        THttpState stateAtStop = THttpState::Idle;
        if (c.stop)
            http.OnWait = [&](QObject*, bool& canAbort) {
                canAbort = ++passes == 100;
                stateAtStop = http.State();
            };
        if (c.throughProxy) {
            http.Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
            http.URL = "https://secure.test/";
        } else {
            http.URL = SecureUrl(silent, "/");
        }
        const auto outcome = http.GetTimed(c.stop ? 60000 : 300);
        EXPECT_EQ(outcome, c.outcome) << c.name;
        EXPECT_EQ(http.State(), THttpState::Idle) << c.name;
        EXPECT_EQ(http.RequestError(), 3) << c.name;
        if (c.stop) {
            EXPECT_EQ(stateAtStop, THttpState::Starting) << c.name; // still connecting
        }
    }
    EXPECT_EQ(proxy.RequestCount(), 2u);
}

} // namespace
