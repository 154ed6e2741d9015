#include "net/ReceiveBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quorvia::TReceiveBuffer;

namespace {

struct Split {
    std::vector<std::string> lines;
    std::string rest;
};

// Feeds the bytes in pieces of at most pieceSize, taking every complete line after each piece.
Split Feed(const std::string& bytes, std::size_t pieceSize) {
    TReceiveBuffer buffer;
    Split out;
    for (std::size_t at = 0; at < bytes.size();) {
        at += buffer.Append(bytes.data() + at, std::min(pieceSize, bytes.size() - at));
        while (auto line = buffer.TakeLine())
            out.lines.push_back(*line);
        if (buffer.Full())
            break;
    }
    out.rest = buffer.TakeAll();
    return out;
}

TEST(ReceiveBuffer, SplitsCrLfAndBareLfAlikeInOnePieceAndByteByByte) {
    const std::string bytes = "HTTP/1.0 200 OK\r\nServer: x\n\r\nbody\rstill";
    const std::vector<std::string> expected = {"HTTP/1.0 200 OK", "Server: x", ""};
    for (std::size_t piece : {bytes.size(), std::size_t(1), std::size_t(7)}) {
        const Split split = Feed(bytes, piece);
        EXPECT_EQ(split.lines, expected) << "piece " << piece;
        EXPECT_EQ(split.rest, "body\rstill") << "piece " << piece;
    }
}

TEST(ReceiveBuffer, TakesALineOf8191BytesButNotOneThatFillsTheBuffer) {
    const std::string longest(8191, 'a');
    const Split accepted = Feed(longest + "\nnext\n", 1000);
    ASSERT_EQ(accepted.lines.size(), 2u);
    EXPECT_EQ(accepted.lines[0], longest);
    EXPECT_EQ(accepted.lines[1], "next");

    TReceiveBuffer buffer;
    const std::string tooLong(8192, 'b');
    EXPECT_EQ(buffer.Append(tooLong.data(), tooLong.size()), 8192u);
    EXPECT_TRUE(buffer.Full());
    EXPECT_FALSE(buffer.TakeLine());
    EXPECT_EQ(buffer.Append("\n", 1), 0u); // the line feed can never get in
}

TEST(ReceiveBuffer, AZeroByteHoldsBackTheLineFeedsAfterIt) {
    TReceiveBuffer buffer;
    const std::string bytes("ab\0cd\nef\n", 9);
    buffer.Append(bytes.data(), bytes.size());
    EXPECT_FALSE(buffer.TakeLine());
    EXPECT_EQ(buffer.Size(), 9u);
}

} // namespace
