// (a) Sequential FetchPage calls of a 300 KB page from a loopback server, in pages per second,
//     against curl fetching the same URLs one after the other in one process; over plain HTTP
//     and over HTTPS (a full TLS handshake per page, as every attempt opens a new connection).
// (b) The processor time a GetTimed spends while it waits 2 s on a silent server.

#include "net/PageFetcher.h"
#include "net/Socket.h"
#include "settings/ConnectionSettings.h"
#include "support/FakeEngine.h"
#include "support/QtTestApp.h"
#include "support/TestPki.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

constexpr int Pages = 200;
constexpr std::size_t PageBytes = 300 * 1024;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

std::string PageOfSize(std::size_t size) {
    const std::string tail = "</body></html>\n";
    std::string page = "<html><head><title>Results</title></head><body>\n";
    while (page.size() + tail.size() < size)
        page += "<div class=\"result\"><a href=\"http://site.test/p\">Result</a> snippet</div>\n";
    page.resize(size - tail.size(), ' ');
    return page + tail;
}

template <typename Server> double FetchPagesPerSecond(Server& engine) {
    const auto start = std::chrono::steady_clock::now();
    std::string body;
    for (int i = 0; i < Pages; ++i) {
        std::string url = engine.Url("/page?n=" + std::to_string(i));
        FetchPage(url, true, "http://ref.test/", body);
        if (body.size() != PageBytes) {
            std::fprintf(stderr, "short page: %zu bytes\n", body.size());
            std::exit(1);
        }
    }
    return Pages / Seconds(start);
}

// curl in one process over a URL list, sequentially.
template <typename Server> double CurlPagesPerSecond(Server& engine) {
    if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty())
        return 0;
    QTemporaryFile config;
    config.open();
    config.write(("cacert = \"" + TestPki().CaFile + "\"\n").c_str());
    for (int i = 0; i < Pages; ++i)
        config.write(("url = \"" + engine.Url("/page?n=" + std::to_string(i)) +
                      "\"\noutput = \"/dev/null\"\n")
                         .c_str());
    config.flush();
    QProcess curl;
    const std::size_t before = engine.RequestCount();
    const auto start = std::chrono::steady_clock::now();
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-s"), QStringLiteral("-K"), config.fileName()});
    PumpUntil([&] { return curl.state() == QProcess::NotRunning; }, 120000);
    const double elapsed = Seconds(start);
    if (curl.exitCode() != 0 || engine.RequestCount() - before != std::size_t(Pages)) {
        std::fprintf(stderr, "curl failed (exit %d, %zu requests)\n", curl.exitCode(),
                     engine.RequestCount() - before);
        return 0;
    }
    return Pages / elapsed;
}

// The fake engine on a thread of its own, as a real server would be: it sends while the
// client waits for it.
class TServerThread {
public:
    TServerThread(TFakeReply reply, const TTlsIdentity* tls) {
        thread.start();
        anchor.moveToThread(&thread);
        OnServer([&] {
            engine = std::make_unique<TFakeEngine>(QHostAddress(QHostAddress::LocalHost), tls);
            engine->SetHandler([reply](const TFakeRequest&) { return reply; });
        });
    }
    ~TServerThread() {
        OnServer([&] { engine.reset(); });
        thread.quit();
        thread.wait();
    }
    std::string Url(const std::string& target) const { return engine->Url(target); }
    std::size_t RequestCount() {
        std::size_t count = 0;
        OnServer([&] { count = engine->RequestCount(); });
        return count;
    }

private:
    template <typename F> void OnServer(F f) {
        QMetaObject::invokeMethod(&anchor, f, Qt::BlockingQueuedConnection);
    }
    QThread thread;
    QObject anchor;
    std::unique_ptr<TFakeEngine> engine;
};

} // namespace

int main() {
    EnsureCoreApplication();
    ConnectionSettings.ConnectType = 1;
    ConnectionSettings.timeout = 30;

    TrustCaCertificates(TestPki().CaFile);

    double plainRate = 0;
    for (const TTlsIdentity* tls :
         {static_cast<const TTlsIdentity*>(nullptr), &TestPki().Trusted}) {
        TServerThread engine(TFakeReply::Page(PageOfSize(PageBytes)), tls);
        FetchPagesPerSecond(engine); // warm-up
        const double ours = FetchPagesPerSecond(engine);
        const double reference = CurlPagesPerSecond(engine);
        std::printf("fetch %-5s: %d x %zu KB pages: FetchPage %.1f pages/s", tls ? "https" : "http",
                    Pages, PageBytes / 1024, ours);
        if (tls)
            std::printf(" (%.2f of http)", ours / plainRate);
        else
            plainRate = ours;
        if (reference > 0)
            std::printf(", curl %.1f pages/s, ratio %.2f\n", reference, ours / reference);
        else
            std::printf(", curl not available\n");
    }

    TFakeEngine silent;
    silent.SetFallback(TFakeReply::Silence());
    TTimedHttpCli client;
    client.URL = silent.Url("/");
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const TWaitOutcome outcome = client.GetTimed(2000);
    const double wall = Seconds(start);
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    std::printf("wait: GetTimed on a silent server, outcome %d after %.2f s, processor time "
                "%.1f ms = %.1f %% of one core\n",
                int(outcome), wall, cpu * 1000, 100 * cpu / wall);
    return outcome == WaitTimedOut && cpu / wall < 0.10 ? 0 : 1;
}
