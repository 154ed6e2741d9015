#pragma once
// Uncompressed video clips in the AVI container: a RIFF "AVI " file with one video stream of
// 24-bit frames (BI_RGB, rows bottom-up or top-down, each row padded to four bytes).
//
//   RIFF 'AVI '
//     LIST 'hdrl'  avih (frame time)  LIST 'strl' strh (rate/scale) strf (bitmap header)
//     LIST 'movi'  00db <frame> 00db <frame> ...
//     idx1         (written; ignored when reading)
//
// Only what the scan animation needs: the reader refuses anything else with a message.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvia {

struct AviClip {
    int width = 0;
    int height = 0;
    // Microseconds one frame is shown, from the stream's rate (else the main header).
    std::int64_t frameMicroseconds = 0;
    // Each frame as top-down rows of R, G, B bytes, width * height * 3 bytes.
    std::vector<std::vector<std::uint8_t>> frames;
};

// Reads a clip from the bytes of a file; throws std::runtime_error naming the fault.
AviClip ParseAvi(const std::string& bytes);
// The file bytes of a clip with `framesPerSecond` frames a second.
std::string SerializeAvi(const AviClip& clip, int framesPerSecond);

} // namespace quorvia
