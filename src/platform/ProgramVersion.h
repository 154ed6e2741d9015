#pragma once
// The program file's version, in the shape of a fixed file-version record: two 32-bit numbers,
// each made of a high and a low 16-bit half (major.minor and patch.tweak). The numbers come
// from the build; a build without a version gives zeros.

#include <cstdint>
#include <string>

namespace quorvia {

struct FixedFileVersion {
    std::uint32_t mostSignificant = 0;
    std::uint32_t leastSignificant = 0;
};

FixedFileVersion ProgramFileVersion();

// "%d.%d.%d.%d": high and low half of the most significant number, then of the least.
std::string VersionText(FixedFileVersion version);

} // namespace quorvia
