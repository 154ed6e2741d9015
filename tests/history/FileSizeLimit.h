#pragma once
// A full disk, as this process meets it: while one lives, no file may grow past a size
// (writes beyond it fail with EFBIG instead of raising SIGXFSZ).

#include <csignal>

#include <sys/resource.h>

namespace quorvia::testing {

class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace quorvia::testing
