#include "net/PageFetcher.h"

#include "platform/Clock.h"
#include "settings/ConnectionSettings.h"
#include "support/FakeEngine.h"
#include "support/QtTestApp.h"
#include "support/TestPki.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class PageFetcherTest : public TWithCoreApplication, public ::testing::Test {
protected:
    void SetUp() override {
        saved = ConnectionSettings;
        ConnectionSettings = TConnectionSettings();
        ConnectionSettings.timeout = 5;
        ConnectionSettings.UserAgent = "UA/1";
        ConnectionSettings.ConnectType = 1;
        StopRequested = false;
        WaitHandler = [](QObject*, bool& canAbort) { canAbort = StopRequested; };
    }
    void TearDown() override {
        ConnectionSettings = saved;
        WaitHandler = nullptr;
        StopRequested = false;
    }

    // The message FetchPage fails with; empty when it succeeds.
    std::string Fetch(std::string& url, bool checkComplete = true) {
        try {
            FetchPage(url, checkComplete, "http://ref.test/", body);
            return {};
        } catch (const std::runtime_error& error) {
            return error.what();
        }
    }
    std::string Summary(const std::string& url) const {
        return "Proxy: " + ConnectionSettings.Proxy +
               ". Port: " + std::to_string(ConnectionSettings.ProxyPort) +
               ". UserAgent: UA/1. URL: " + url + ". Referrer: http://ref.test/";
    }

    TConnectionSettings saved;
    TFakeEngine engine;
    std::string body = "untouched";
};

TEST_F(PageFetcherTest, ReturnsTheFinalPageAndWritesBackItsAddress) {
    engine.Route("/search?q=x", TFakeReply::Redirect("/results?q=x"));
    engine.Route("/results?q=x", TFakeReply::Page("<HTML>results</HTML>"));
    std::string url = engine.Url("/search?q=x");
    EXPECT_EQ(Fetch(url), "");
    EXPECT_EQ(body, "<HTML>results</HTML>");
    EXPECT_EQ(url, engine.Url("/results?q=x"));
    EXPECT_EQ(engine.Requests()[0].Header("user-agent"), "UA/1");
    EXPECT_EQ(engine.Requests()[0].Header("referer"), "http://ref.test/");
}

// A form sent with POST: the body goes out with its type and length. After a 303 (or 301, 302)
// the browser's way is a GET of the new address without the body; a 307 keeps the POST.
TEST_F(PageFetcherTest, SendsAFormWithPostAndFollowsRedirectsAsBrowsersDo) {
    engine.Route("/html/", TFakeReply::Page("<html>page 2</html>"));
    engine.Route("/form-303", TFakeReply::Redirect("/got", 303, "See Other"));
    engine.Route("/got", TFakeReply::Page("<html>got</html>"));
    engine.Route("/form-307", TFakeReply::Redirect("/html/", 307, "Temporary Redirect"));
    const TPostData form{"q=red+shoes&s=10&kl=wt-wt"};
    const struct {
        std::string target, finalTarget, body;
        std::vector<std::string> methods;
    } cases[] = {
        {"/html/", "/html/", "<html>page 2</html>", {"POST"}},
        {"/form-303", "/got", "<html>got</html>", {"POST", "GET"}},
        {"/form-307", "/html/", "<html>page 2</html>", {"POST", "POST"}},
    };
    std::size_t seen = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        std::string url = engine.Url(c.target);
        FetchPage(url, true, "http://ref.test/", body, &form);
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(url, engine.Url(c.finalTarget));
        ASSERT_EQ(engine.RequestCount(), seen + c.methods.size());
        for (const std::string& method : c.methods) {
            const TFakeRequest& request = engine.Requests()[seen++];
            EXPECT_EQ(request.Method, method);
            EXPECT_EQ(request.Version, "HTTP/1.0");
            EXPECT_EQ(request.Header("referer"), "http://ref.test/");
            if (method == "POST") {
                EXPECT_EQ(request.Header("content-type"), "application/x-www-form-urlencoded");
                EXPECT_EQ(request.Header("content-length"), std::to_string(form.body.size()));
                EXPECT_EQ(request.Body, form.body);
            } else {
                EXPECT_EQ(request.Header("content-length"), "");
                EXPECT_EQ(request.Body, "");
            }
        }
    }
}

TEST_F(PageFetcherTest, AnIncompletePageFailsUnlessTheCheckIsOff) {
    engine.Route("/cut", TFakeReply::Page("<html><body>cut off"));
    engine.Route("/empty", TFakeReply::Page(""));
    std::string url = engine.Url("/cut");
    EXPECT_EQ(Fetch(url), "This page may not be retrieved properly. " + Summary(url));
    EXPECT_EQ(body, "untouched");
    EXPECT_EQ(engine.RequestCount(), 1u);
    EXPECT_EQ(Fetch(url, false), "");
    EXPECT_EQ(body, "<html><body>cut off");
    url = engine.Url("/empty");
    EXPECT_EQ(Fetch(url, false), "");
    EXPECT_EQ(body, "");
}

TEST_F(PageFetcherTest, AnErrorStatusFailsAtOnceWithStatusAndReason) {
    engine.SetFallback(TFakeReply::Page("oops", 500, "Internal Server Error"));
    std::string url = engine.Url("/");
    EXPECT_EQ(Fetch(url), "Connection error: 500 Internal Server Error. " + Summary(url));
    EXPECT_EQ(engine.RequestCount(), 1u);
    EXPECT_EQ(body, "untouched");
}

// An engine that refuses (403, 429) says so in its answer's body; the caller gets both.
TEST_F(PageFetcherTest, AnErrorStatusCarriesTheStatusAndTheAnswersBody) {
    engine.SetFallback(TFakeReply::Page("<html>slow down</html>", 429, "Too Many Requests"));
    std::string url = engine.Url("/search?q=x");
    try {
        FetchPage(url, true, "http://ref.test/", body);
        ADD_FAILURE() << "no failure";
    } catch (const EHttpStatusError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Connection error: 429 Too Many Requests. " + Summary(url));
        EXPECT_EQ(error.Status(), 429);
        EXPECT_EQ(error.Body(), "<html>slow down</html>");
    }
    EXPECT_EQ(body, "untouched");
}

TEST_F(PageFetcherTest, RepeatsOnlySilentAttemptsThenReportsTheTimeout) {
    engine.SetFallback(TFakeReply::Silence());
    ConnectionSettings.timeout = 1;
    const struct {
        int retries;
        std::size_t attempts;
    } cases[] = {{2, 3}, {0, 1}, {-1, 1}};
    std::size_t before = 0;
    for (const auto& c : cases) {
        ConnectionSettings.RetryConnect = c.retries;
        std::string url = engine.Url("/");
        EXPECT_EQ(Fetch(url), "Connection timed out. " + Summary(url)) << c.retries;
        EXPECT_EQ(engine.RequestCount() - before, c.attempts) << c.retries;
        before = engine.RequestCount();
    }
}

TEST_F(PageFetcherTest, NamesSocketFailuresWithTheirCodes) {
    std::string refused = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/";
    EXPECT_EQ(Fetch(refused), "Connection error: 10061 Connection refused (Error #10061): "
                              "Connection refused. " +
                                  Summary(refused));
    std::string unknown = "http://nothing.invalid/search";
    EXPECT_EQ(Fetch(unknown), "Connection error: 11001 can't resolve hostname (nothing.invalid) "
                              "to IP address: Host not found. " +
                                  Summary(unknown));
    engine.SetFallback(TFakeReply::CloseAtOnce());
    std::string closed = engine.Url("/");
    EXPECT_EQ(Fetch(closed),
              "Connection error: 0 The server closed the connection without an answer. " +
                  Summary(closed));
}

TEST_F(PageFetcherTest, StopDuringAWaitCancelsWithinAPass) {
    engine.SetHandler([](const TFakeRequest&) {
        StopRequested = true; // the user presses "Stop scanning" while the server is silent
        return TFakeReply::Silence();
    });
    ConnectionSettings.timeout = 60;
    std::string url = engine.Url("/");
    const std::uint32_t start = Clock::TickCount();
    EXPECT_EQ(Fetch(url), "Canceled by user. ");
    EXPECT_LT(Clock::TickCount() - start, 2000u);
    EXPECT_EQ(engine.RequestCount(), 1u);
}

TEST_F(PageFetcherTest, ConnectsDirectlyWithTypeOneButShowsTheStoredProxy) {
    ConnectionSettings.Proxy = "proxy.invalid";
    ConnectionSettings.ProxyPort = 3128;
    engine.SetFallback(TFakeReply::Page("no closing tag"));
    std::string url = engine.Url("/");
    EXPECT_EQ(Fetch(url), "This page may not be retrieved properly. Proxy: proxy.invalid. "
                          "Port: 3128. UserAgent: UA/1. URL: " +
                              url + ". Referrer: http://ref.test/");
    EXPECT_EQ(engine.Requests()[0].Target, "/");
}

TEST_F(PageFetcherTest, UsesTheConfiguredProxyAndCredentials) {
    ConnectionSettings.ConnectType = 2;
    ConnectionSettings.Proxy = "127.0.0.1";
    ConnectionSettings.ProxyPort = engine.Port();
    ConnectionSettings.UseAuth = 1;
    ConnectionSettings.Username = "user";
    ConnectionSettings.Password = "pass";
    engine.Route("http://www.example.test/q", TFakeReply::Page("<html></html>"));
    std::string url = "http://www.example.test/q";
    EXPECT_EQ(Fetch(url), "");
    ASSERT_EQ(engine.RequestCount(), 1u);
    EXPECT_EQ(engine.Requests()[0].Header("authorization"), "Basic dXNlcjpwYXNz");
}

TEST_F(PageFetcherTest, SecureConnectionFailuresReadAsConnectionErrors) {
    TFakeEngine selfSigned(QHostAddress(QHostAddress::LocalHost), &TestPki().Untrusted);
    std::string untrusted = "https://127.0.0.1:" + std::to_string(selfSigned.Port()) + "/";
    const std::string message = Fetch(untrusted);
    EXPECT_TRUE(message.starts_with("Connection error: 404 can't establish a secure connection: "))
        << message;
    EXPECT_TRUE(message.ends_with(". " + Summary(untrusted))) << message;

    ConnectionSettings.ConnectType = 2;
    ConnectionSettings.Proxy = "127.0.0.1";
    ConnectionSettings.ProxyPort = engine.Port();
    engine.Route("secure.test:443", TFakeReply::Page("", 407, "Proxy Authentication Required"));
    std::string refused = "https://secure.test/q";
    EXPECT_EQ(Fetch(refused),
              "Connection error: 407 Proxy Authentication Required. " + Summary(refused));
}

TEST_F(PageFetcherTest, FollowsARedirectToAnotherHostNamedInTheSharedCache) {
    TFakeEngine second(QHostAddress(QStringLiteral("127.0.0.2")));
    second.Route("/final", TFakeReply::Page("<html>two</html>"));
    SharedDomainsIPList.AddLookupResult({"127.0.0.2"}, "fetch-two.test");
    const std::string target = "http://fetch-two.test:" + std::to_string(second.Port()) + "/final";
    engine.Route("/start", TFakeReply::Redirect(target));
    std::string url = engine.Url("/start");
    EXPECT_EQ(Fetch(url), "");
    EXPECT_EQ(url, target);
    EXPECT_EQ(body, "<html>two</html>");
}

TEST_F(PageFetcherTest, EndlessRedirectsAndHugeBodiesBecomeConnectionErrors) {
    int hop = 0;
    engine.SetHandler([&](const TFakeRequest& request) {
        if (request.Target == "/huge")
            return TFakeReply::Page(std::string(std::size_t(THttpCli::MaxBodyBytes) + 1, 'x'));
        return TFakeReply::Redirect("/hop" + std::to_string(++hop));
    });
    std::string url = engine.Url("/hop0");
    EXPECT_EQ(Fetch(url), "Connection error: 302 Found. " + Summary(url));
    url = engine.Url("/huge");
    EXPECT_EQ(Fetch(url),
              "Connection error: 404 Response body larger than 67108864 bytes. " + Summary(url));
}

TEST(PageLooksComplete, LooksForTheClosingTagInAnyLetterCase) {
    EXPECT_TRUE(PageLooksComplete("<html>x</HTML>"));
    EXPECT_TRUE(PageLooksComplete("...</Html>trailing"));
    EXPECT_FALSE(PageLooksComplete("<html>x</htm"));
    EXPECT_FALSE(PageLooksComplete(""));
}

} // namespace
