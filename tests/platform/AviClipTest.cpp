#include "platform/AviClip.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace quorvia;

namespace {

// A 5 x 3 clip (rows padded to 16 bytes) whose pixels tell where they are.
AviClip SampleClip(int frames) {
    AviClip clip;
    clip.width = 5;
    clip.height = 3;
    for (int f = 0; f < frames; ++f) {
        std::vector<std::uint8_t> frame;
        for (int y = 0; y < clip.height; ++y)
            for (int x = 0; x < clip.width; ++x)
                frame.insert(frame.end(),
                             {std::uint8_t(x * 40), std::uint8_t(y * 80), std::uint8_t(f)});
        clip.frames.push_back(frame);
    }
    return clip;
}

} // namespace

TEST(AviClip, RoundTripsFramesSizeAndRate) {
    const AviClip clip = SampleClip(16);
    const std::string bytes = SerializeAvi(clip, 25);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 4), "AVI ");
    const AviClip back = ParseAvi(bytes);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.frameMicroseconds, 40000);
    EXPECT_EQ(back.frames, clip.frames);
}

TEST(AviClip, ReadsTopDownFramesAndTheMainHeaderRate) {
    std::string bytes = SerializeAvi(SampleClip(1), 25);
    // Turn the stored height negative (top-down rows) and clear the stream's rate.
    const std::size_t strf = bytes.find("strf");
    const std::size_t strh = bytes.find("strh");
    bytes[strf + 8 + 8] = char(0xFD); // -3
    for (int i = 1; i < 4; ++i)
        bytes[strf + 8 + 8 + i] = char(0xFF);
    bytes[strh + 8 + 24] = 0;
    const AviClip back = ParseAvi(bytes);
    EXPECT_EQ(back.frameMicroseconds, 40000);
    // What was stored bottom-up now reads upside down.
    EXPECT_EQ(back.frames[0][1], 2 * 80);
}

TEST(AviClip, RefusesWhatItCannotPlay) {
    const std::string good = SerializeAvi(SampleClip(2), 25);
    std::string compressed = good;
    compressed[good.find("strf") + 8 + 16] = 1;
    std::string truncated = good.substr(0, good.find("00db") + 20);
    std::string noFrames = SerializeAvi(SampleClip(0), 25);
    for (const std::string& bad :
         {std::string(), std::string("RIFF\4\0\0\0WAVE"), compressed, truncated, noFrames})
        EXPECT_THROW(ParseAvi(bad), std::runtime_error);
}
