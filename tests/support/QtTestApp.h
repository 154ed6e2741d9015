#pragma once
// Event-loop helpers for tests that run Qt networking without a window.

#include <functional>

namespace quorvia::testing {

// Creates the process's QCoreApplication on first use; tests call it in SetUp.
void EnsureCoreApplication();

// A base for fixtures whose members need the application (servers, sockets): list it first.
struct TWithCoreApplication {
    TWithCoreApplication() { EnsureCoreApplication(); }
};

// Runs the event loop until done() is true or timeoutMs has passed; gives done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace quorvia::testing
