#include "net/ReceiveBuffer.h"

#include <algorithm>
#include <cstring>

namespace quorvia {

void TReceiveBuffer::Commit(std::size_t received) {
    count = std::min(Capacity, count + received);
    bytes[count] = 0;
}

std::size_t TReceiveBuffer::Append(const char* data, std::size_t size) {
    const std::size_t taken = std::min(size, Free());
    std::memcpy(WritePosition(), data, taken);
    Commit(taken);
    return taken;
}

std::optional<std::string> TReceiveBuffer::TakeLine() {
    const std::size_t searchEnd = strnlen(bytes.data(), count);
    const char* lf = static_cast<const char*>(std::memchr(bytes.data(), '\n', searchEnd));
    if (!lf)
        return std::nullopt;
    const std::size_t lfAt = std::size_t(lf - bytes.data());
    std::size_t lineEnd = lfAt;
    if (lineEnd > 0 && bytes[lineEnd - 1] == '\r')
        --lineEnd;
    std::string line(bytes.data(), lineEnd);
    count -= lfAt + 1;
    std::memmove(bytes.data(), bytes.data() + lfAt + 1, count);
    bytes[count] = 0;
    return line;
}

bool TReceiveBuffer::HoldsZeroByte() const {
    return std::memchr(bytes.data(), 0, count) != nullptr;
}

std::string TReceiveBuffer::TakeAll() {
    std::string all(bytes.data(), count);
    Clear();
    bytes[0] = 0;
    return all;
}

} // namespace quorvia
