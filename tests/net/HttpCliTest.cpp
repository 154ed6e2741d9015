// The HTTP exchange against the loopback fake engine, driven through TTimedHttpCli, whose
// GetTimed keeps the event loop running until the request is over.

#include "net/TimedHttpCli.h"

#include "support/FakeEngine.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

constexpr int Patient = 5000; // for requests that must end by themselves
const char* const DefaultAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

class HttpCliTest : public TWithCoreApplication, public ::testing::Test {
protected:
    void SetUp() override { client.BodyStream = &body; }

    TWaitOutcome Get(const std::string& url, int timeoutMs = Patient) {
        client.URL = url;
        return client.GetTimed(timeoutMs);
    }

    TFakeEngine engine;
    std::ostringstream body;
    TTimedHttpCli client;
};

TEST_F(HttpCliTest, WritesTheRequestByteForByteDirectAndThroughAProxy) {
    engine.SetFallback(TFakeReply::Page("<html></html>"));
    client.Reference = "http://ref.test/start";
    client.Agent = "Agent/1.0";
    ASSERT_EQ(Get(engine.Url("/search?q=x")), WaitDone);
    ASSERT_EQ(engine.RequestCount(), 1u);
    EXPECT_EQ(engine.Requests()[0].Raw, std::string("GET /search?q=x HTTP/1.0\r\n") +
                                            "Accept: " + DefaultAccept + "\r\n" +
                                            "Referer: http://ref.test/start\r\n" +
                                            "User-Agent: Agent/1.0\r\n"
                                            "Host: 127.0.0.1\r\n"
                                            "\r\n");

    // Through a proxy named without a port: the port comes from ProxyPort. The page's host is
    // never looked up; only the proxy is connected to.
    TTimedHttpCli viaProxy;
    viaProxy.Proxy = "127.0.0.1";
    viaProxy.ProxyPort = std::to_string(engine.Port());
    viaProxy.Agent = "Agent/1.0";
    viaProxy.Username = "user";
    viaProxy.Password = "pass";
    viaProxy.URL = "http://www.example.test/search?q=x";
    ASSERT_EQ(viaProxy.GetTimed(Patient), WaitDone);
    ASSERT_EQ(engine.RequestCount(), 2u);
    EXPECT_EQ(engine.Requests()[1].Raw, std::string("GET http://www.example.test/search?q=x "
                                                    "HTTP/1.0\r\n") +
                                            "Accept: " + DefaultAccept + "\r\n" +
                                            "User-Agent: Agent/1.0\r\n"
                                            "Host: www.example.test\r\n"
                                            "Authorization: Basic dXNlcjpwYXNz\r\n"
                                            "\r\n");
    EXPECT_EQ(viaProxy.StatusCode(), 200);
}

TEST_F(HttpCliTest, WritesEveryOptionalLineInItsPlace) {
    engine.SetFallback(TFakeReply::Page("<html></html>"));
    client.Proxy = "127.0.0.1:" + std::to_string(engine.Port());
    client.Sender = "me@mail.test";
    client.Accept.clear();
    client.Agent.clear();
    client.NoCache = true;
    client.ModifiedSince = QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9));
    client.ProxyUsername = "pu";
    client.ProxyPassword = "pp";
    client.Cookie = "a=1";
    client.ContentRangeBegin = "100";
    ASSERT_EQ(Get("http://host.test:81/x"), WaitDone);
    ASSERT_EQ(engine.RequestCount(), 1u);
    EXPECT_EQ(engine.Requests()[0].Raw, "GET http://host.test:81/x HTTP/1.0\r\n"
                                        "From: me@mail.test\r\n"
                                        "Host: host.test\r\n"
                                        "Pragma: no-cache\r\n"
                                        "If-Modified-Since: Thu, 05 Mar 2026 07:08:09 GMT\r\n"
                                        "Proxy-Authorization: Basic cHU6cHA=\r\n"
                                        "Cookie: a=1\r\n"
                                        "Range: bytes=100-\r\n"
                                        "\r\n");
    EXPECT_TRUE(client.ContentRangeBegin.empty());
}

struct ResponseCase {
    const char* name;
    std::string response;
    int status;
    std::string reason;
    std::string body;
};

TEST_F(HttpCliTest, ReadsResponsesAlikeInOnePacketAndByteByByte) {
    const std::string longLine = "X-Long: " + std::string(8191 - 8, 'a');
    const ResponseCase cases[] = {
        {"HTTP/1.1 status line", "HTTP/1.1 200 OK\r\nServer: fake\r\n\r\n<html>page</html>", 200,
         "OK", "<html>page</html>"},
        {"bare line feeds", "HTTP/1.0 200 Fine Thanks\nServer: fake\n\nbody\nbytes", 200,
         "Fine Thanks", "body\nbytes"},
        {"short Content-Length does not cut",
         "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabcdefgh", 200, "OK", "abcdefgh"},
        {"chunked bytes are kept",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", 200, "OK",
         "5\r\nhello\r\n0\r\n\r\n"},
        {"no header, first line without its ending", "<html><body>\r\nline two\r\n</body></html>",
         0, "", "<html><body>line two\r\n</body></html>"},
        {"a header line of 8191 bytes", "HTTP/1.0 200 OK\r\n" + longLine + "\n\r\nafter", 200, "OK",
         "after"},
    };
    for (const ResponseCase& c : cases) {
        // Byte by byte for short responses; long ones in small pieces to stay quick.
        for (std::size_t drip :
             {std::size_t(0), std::max<std::size_t>(1, c.response.size() / 300)}) {
            TFakeEngine server;
            TFakeReply reply = TFakeReply::Raw(c.response);
            if (drip)
                reply.Drip(drip, 0);
            server.SetFallback(reply);
            std::ostringstream received;
            TTimedHttpCli http;
            http.BodyStream = &received;
            http.URL = server.Url("/");
            ASSERT_EQ(http.GetTimed(Patient), WaitDone) << c.name << " drip " << drip;
            EXPECT_EQ(http.StatusCode(), c.status) << c.name << " drip " << drip;
            EXPECT_EQ(http.ReasonPhrase(), c.reason) << c.name << " drip " << drip;
            EXPECT_EQ(received.str(), c.body) << c.name << " drip " << drip;
        }
    }
}

TEST_F(HttpCliTest, ContentLengthZeroFinishesWithoutWaitingForTheClose) {
    engine.SetFallback(
        TFakeReply::Raw("HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\n").KeepOpen());
    ASSERT_EQ(Get(engine.Url("/"), 60000), WaitDone); // a wait for the close would time out
    EXPECT_EQ(client.StatusCode(), 204);
    EXPECT_EQ(client.State(), THttpState::Idle);
}

TEST_F(HttpCliTest, AnErrorStatusFinishesWithTheBodyBytesOfTheHeaderPacketOnly) {
    engine.SetFallback(
        TFakeReply::Raw("HTTP/1.0 500 Internal Server Error\r\n\r\nfirst bytes").KeepOpen());
    ASSERT_EQ(Get(engine.Url("/"), 60000), WaitDone);
    EXPECT_EQ(client.StatusCode(), 500);
    EXPECT_EQ(client.ReasonPhrase(), "Internal Server Error");
    EXPECT_EQ(body.str(), "first bytes");
}

TEST_F(HttpCliTest, ACloseBeforeAnyByteFinishesWithStatusZero) {
    engine.SetFallback(TFakeReply::CloseAtOnce());
    ASSERT_EQ(Get(engine.Url("/")), WaitDone);
    EXPECT_EQ(client.StatusCode(), 0);
    EXPECT_EQ(client.ReasonPhrase(), "The server closed the connection without an answer");
}

TEST_F(HttpCliTest, AHeaderThatCanNeverCompleteEndsAtOnceWithItsReason) {
    const struct {
        std::string response, reason;
        bool close;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nX: " + std::string(8192, 'b') + "\r\n\r\nbody", "HTTP line too long",
         false},
        {"HTTP/1.0 200 OK\r\nServer: fake\r\n",
         "The server closed the connection inside the response header", true},
        {"HTTP/1.0 2x0 OK\r\n\r\nbody", "The server's status line has no status code", false},
    };
    for (const auto& c : cases) {
        TFakeEngine server;
        TFakeReply reply = TFakeReply::Raw(c.response);
        server.SetFallback(c.close ? reply : reply.KeepOpen());
        TTimedHttpCli http;
        http.URL = server.Url("/");
        EXPECT_EQ(http.GetTimed(60000), WaitDone) << c.reason;
        EXPECT_EQ(http.StatusCode(), 404) << c.reason;
        EXPECT_EQ(http.ReasonPhrase(), c.reason);
    }
}

TEST_F(HttpCliTest, FollowsRedirectsToTheirTargets) {
    engine.Route("/start", TFakeReply::Redirect("/next"));
    engine.Route("/next", TFakeReply::Page("<html>next</html>"));
    engine.Route("/dir/list?p=1", TFakeReply::Redirect("page2.html", 301, "Moved"));
    engine.Route("/dir/page2.html", TFakeReply::Page("<html>two</html>"));
    engine.Route("/dir/a", TFakeReply::Redirect("HTTPS://secure.test/x"));
    engine.Route("/dir/HTTPS://secure.test/x", TFakeReply::Page("<html>joined</html>"));
    const struct {
        std::string from, to, body;
    } cases[] = {
        {"/start", "/next", "<html>next</html>"},
        {"/dir/list?p=1", "/dir/page2.html", "<html>two</html>"},
        {"/dir/a", "/dir/HTTPS://secure.test/x", "<html>joined</html>"},
    };
    for (const auto& c : cases) {
        std::ostringstream received;
        TTimedHttpCli http;
        http.BodyStream = &received;
        http.URL = engine.Url(c.from);
        ASSERT_EQ(http.GetTimed(Patient), WaitDone) << c.from;
        EXPECT_EQ(http.StatusCode(), 200) << c.from;
        EXPECT_EQ(http.Location(), engine.Url(c.to)) << c.from;
        EXPECT_EQ(http.URL, engine.Url(c.from)) << c.from;
        EXPECT_EQ(received.str(), c.body) << c.from; // nothing of the redirect response
    }
}

TEST_F(HttpCliTest, ARedirectWithoutPortStaysWithoutPort) {
    // Through the proxy the restart's absolute target shows the address exactly.
    engine.Route("http://www.example.test/start", TFakeReply::Redirect("/next"));
    engine.Route("http://www.example.test/next", TFakeReply::Page("<html>next</html>"));
    client.Proxy = "127.0.0.1:" + std::to_string(engine.Port());
    ASSERT_EQ(Get("http://www.example.test/start"), WaitDone);
    EXPECT_EQ(client.Location(), "http://www.example.test/next");
    ASSERT_EQ(engine.RequestCount(), 2u);
    EXPECT_EQ(engine.Requests()[1].Target, "http://www.example.test/next");
    EXPECT_EQ(engine.Requests()[1].Header("host"), "www.example.test");
}

TEST_F(HttpCliTest, ARedirectToAnotherHostConnectsThereThroughTheNameCache) {
    TFakeEngine second(QHostAddress(QStringLiteral("127.0.0.2")));
    second.Route("/final", TFakeReply::Page("<html>second host</html>"));
    TDomainsIPList cache;
    cache.AddLookupResult({"127.0.0.2"}, "engine-two.test");
    const std::string target = "http://engine-two.test:" + std::to_string(second.Port()) + "/final";
    engine.Route("/start", TFakeReply::Redirect(target));
    client.DomainsIPList = &cache;
    ASSERT_EQ(Get(engine.Url("/start")), WaitDone);
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.Location(), target);
    EXPECT_EQ(body.str(), "<html>second host</html>");
    ASSERT_EQ(second.RequestCount(), 1u);
    EXPECT_EQ(second.Requests()[0].Header("host"), "engine-two.test");
}

TEST_F(HttpCliTest, ARedirectThatIsNotFollowedFinishesWithItsOwnStatusAndBody) {
    engine.Route("/same", TFakeReply::Redirect(engine.Url("/same"), 302, "Found", "moved body"));
    ASSERT_EQ(Get(engine.Url("/same")), WaitDone);
    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(body.str(), "moved body");
    EXPECT_EQ(engine.RequestCount(), 1u);

    engine.Route("/start", TFakeReply::Redirect("/next", 302, "Found", "ignored"));
    TTimedHttpCli manual;
    manual.AutoRedirect = false;
    manual.URL = engine.Url("/start");
    ASSERT_EQ(manual.GetTimed(Patient), WaitDone);
    EXPECT_EQ(manual.StatusCode(), 302);
    EXPECT_EQ(manual.Location(), engine.Url("/next"));
    EXPECT_EQ(engine.RequestCount(), 2u);
}

TEST_F(HttpCliTest, StopsFollowingAfterTwentyRedirects) {
    int hop = 0;
    engine.SetHandler([&](const TFakeRequest&) {
        return TFakeReply::Redirect("/hop" + std::to_string(++hop), 302, "Found");
    });
    ASSERT_EQ(Get(engine.Url("/hop0")), WaitDone);
    EXPECT_EQ(engine.RequestCount(), std::size_t(THttpCli::MaxRedirects + 1));
    EXPECT_EQ(client.StatusCode(), 302);
}

TEST_F(HttpCliTest, EndsABodyBeyond64MiBAsAFailure) {
    const std::string huge(std::size_t(THttpCli::MaxBodyBytes) + 10, 'x');
    engine.SetFallback(TFakeReply::Page(huge));
    ASSERT_EQ(Get(engine.Url("/")), WaitDone);
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_EQ(client.ReasonPhrase(), "Response body larger than 67108864 bytes");
    EXPECT_LE(std::int64_t(body.str().size()), THttpCli::MaxBodyBytes);
}

TEST_F(HttpCliTest, RunsItsHooksInOrder) {
    engine.Route("/start", TFakeReply::Redirect("/next"));
    engine.Route("/next", TFakeReply::Page("<html>x</html>", 200, "OK", {"Set-Cookie: id=7"}));
    std::vector<std::string> hooks;
    const auto note = [&hooks](const char* name) {
        return [&hooks, name](THttpCli&) {
            if (hooks.empty() || hooks.back() != name)
                hooks.push_back(name);
        };
    };
    client.OnSessionConnected = note("connected");
    client.OnRequestHeaderBegin = note("request begin");
    client.OnRequestHeaderEnd = note("request end");
    client.OnHeaderBegin = note("header begin");
    client.OnHeaderData = note("header data");
    client.OnHeaderEnd = note("header end");
    client.OnDocBegin = note("doc begin");
    client.OnDocData = [&](THttpCli& c, const char*, std::size_t) { note("doc data")(c); };
    client.OnDocEnd = note("doc end");
    client.OnLocationChange = note("location");
    bool cookieAccepted = false;
    std::string cookie;
    client.OnCookie = [&](THttpCli& c, const std::string& value, bool& accept) {
        note("cookie")(c);
        cookie = value;
        cookieAccepted = accept;
    };
    bool done = false;
    client.OnRequestDone = [&](THttpCli& c, THttpRequest kind, int error) {
        note("done")(c);
        done = kind == THttpRequest::Get && error == 0;
    };
    ASSERT_EQ(Get(engine.Url("/start")), WaitDone);
    ASSERT_TRUE(PumpUntil([&] { return done; }, 2000));
    const std::vector<std::string> hop = {"connected",    "request begin", "request end",
                                          "header begin", "header data",   "header end"};
    std::vector<std::string> expected = hop;
    expected.push_back("location");
    expected.insert(expected.end(), hop.begin(), hop.end() - 1);
    expected.insert(expected.end(), {"cookie", "header data", "header end", "doc begin", "doc data",
                                     "doc end", "done"});
    EXPECT_EQ(hooks, expected);
    EXPECT_EQ(cookie, "id=7");
    EXPECT_TRUE(cookieAccepted);
}

TEST_F(HttpCliTest, ASecondStartWhileRunningIsRefused) {
    engine.SetFallback(TFakeReply::Silence());
    client.URL = engine.Url("/");
    client.OnSessionConnected = [](THttpCli& c) {
        try {
            c.StartGet();
            ADD_FAILURE() << "a busy client started again";
        } catch (const EHttpException& e) {
            EXPECT_STREQ(e.what(), "HTTP component is busy");
            EXPECT_EQ(e.ErrorCode(), 1);
        }
    };
    EXPECT_EQ(client.GetTimed(300), WaitTimedOut);
    EXPECT_EQ(engine.RequestCount(), 1u);
}

} // namespace
