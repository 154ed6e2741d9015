#include "platform/ProgramVersion.h"

// The build defines these from its project version; a part it does not know is defined empty,
// which the "+ 0" turns into zero.
#ifndef QUORVIA_VERSION_MAJOR
#define QUORVIA_VERSION_MAJOR
#endif
#ifndef QUORVIA_VERSION_MINOR
#define QUORVIA_VERSION_MINOR
#endif
#ifndef QUORVIA_VERSION_PATCH
#define QUORVIA_VERSION_PATCH
#endif
#ifndef QUORVIA_VERSION_TWEAK
#define QUORVIA_VERSION_TWEAK
#endif

namespace quorvia {

namespace {

constexpr std::uint32_t Halves(std::uint32_t high, std::uint32_t low) {
    return ((high & 0xFFFFu) << 16) | (low & 0xFFFFu);
}

} // namespace

FixedFileVersion ProgramFileVersion() {
    return {Halves(QUORVIA_VERSION_MAJOR + 0, QUORVIA_VERSION_MINOR + 0),
            Halves(QUORVIA_VERSION_PATCH + 0, QUORVIA_VERSION_TWEAK + 0)};
}

std::string VersionText(FixedFileVersion version) {
    return std::to_string(version.mostSignificant >> 16) + "." +
           std::to_string(version.mostSignificant & 0xFFFFu) + "." +
           std::to_string(version.leastSignificant >> 16) + "." +
           std::to_string(version.leastSignificant & 0xFFFFu);
}

} // namespace quorvia
