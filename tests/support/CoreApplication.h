#pragma once
// Tests without widgets that still need Qt's application object (sockets, locale-aware
// comparison) include this header: it makes one QCoreApplication before the first test and
// ends it before static destruction begins. An application left to the exit handlers would
// outlive the thread-local data (the default collator) that its own clean-up still reads.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace quorvia::testing {

class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[13] = "quorvia_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

inline ::testing::Environment* const coreApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

} // namespace quorvia::testing
