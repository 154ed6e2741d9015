#pragma once
// Widget tests need one QApplication for the whole test program. Including this header
// registers it: made before the first test, ended before static destruction begins (Qt's
// input devices must go while the application still exists).

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace quorvia::testing {

class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[21] = "quorvia_widget_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const guiApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

} // namespace quorvia::testing
