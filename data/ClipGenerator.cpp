// Writes the three scan-animation clips at build time: "1.avi" (opening, 5 frames), "2.avi"
// (looping, 16 frames) and "3.avi" (closing, 5 frames), 60 x 60 uncompressed 24-bit at
// 25 frames a second, into the folder given as the only argument.

#include "app/Pictures.h"
#include "platform/AviClip.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using namespace quorvia;

namespace {

using FrameFunction = QImage (*)(int, int);

bool WriteClip(const std::string& path, FrameFunction frameAt, int frames) {
    AviClip clip;
    clip.width = Pictures::ClipSize;
    clip.height = Pictures::ClipSize;
    for (int f = 0; f < frames; ++f) {
        const QImage image = frameAt(f, frames).convertToFormat(QImage::Format_RGB888);
        std::vector<std::uint8_t> pixels(std::size_t(clip.width) * clip.height * 3);
        for (int y = 0; y < clip.height; ++y)
            std::memcpy(pixels.data() + std::size_t(y) * clip.width * 3, image.constScanLine(y),
                        std::size_t(clip.width) * 3);
        clip.frames.push_back(std::move(pixels));
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << SerializeAvi(clip, 25);
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = WriteClip(folder + "1.avi", Pictures::OpeningFrame, 5) &&
                    WriteClip(folder + "2.avi", Pictures::LoopingFrame, 16) &&
                    WriteClip(folder + "3.avi", Pictures::ClosingFrame, 5);
    if (!ok)
        std::fprintf(stderr, "cannot write the clips into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
