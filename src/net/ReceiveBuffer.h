#pragma once
// The fixed buffer in which response header lines are assembled. Bytes wait here until a line
// feed is present; a line that fills the whole capacity without one can never complete.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvia {

class TReceiveBuffer {
public:
    static constexpr std::size_t Capacity = 8192;

    std::size_t Size() const { return count; }
    bool Full() const { return count >= Capacity; }
    std::size_t Free() const { return Capacity - count; }

    // Where received bytes go; Commit(n) then makes n of them part of the held bytes.
    char* WritePosition() { return bytes.data() + count; }
    void Commit(std::size_t received);
    // Appends as many bytes as fit; gives how many were taken.
    std::size_t Append(const char* data, std::size_t size);

    // The first complete line without its LF or CR LF, removed from the buffer. The search for
    // the line feed stops at the first zero byte, so a zero byte holds back every later line.
    std::optional<std::string> TakeLine();
    // The bytes held, left in the buffer.
    std::string_view Held() const { return {bytes.data(), count}; }
    // True when a zero byte is held; it holds back every line feed after it.
    bool HoldsZeroByte() const;
    // Everything held, removed from the buffer.
    std::string TakeAll();
    void Clear() { count = 0; }

private:
    std::array<char, Capacity + 1> bytes{}; // one more for the terminating zero byte
    std::size_t count = 0;
};

} // namespace quorvia
