#include "platform/AviClip.h"

#include <cstring>
#include <stdexcept>
#include <string_view>

namespace quorvia {

namespace {

constexpr int BytesPerPixel = 3;

int RowStride(int width) {
    return (width * BytesPerPixel + 3) / 4 * 4;
}

std::uint32_t ReadU32(std::string_view data, std::size_t at) {
    if (at + 4 > data.size())
        throw std::runtime_error("AVI: header cut short");
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(data[at + i]);
    return v;
}

std::int32_t ReadI32(std::string_view data, std::size_t at) {
    return static_cast<std::int32_t>(ReadU32(data, at));
}

std::uint16_t ReadU16(std::string_view data, std::size_t at) {
    if (at + 2 > data.size())
        throw std::runtime_error("AVI: header cut short");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) |
                                      (static_cast<unsigned char>(data[at + 1]) << 8));
}

struct Chunk {
    std::string_view id;
    std::string_view body;
};

// The chunks laid end to end in `data`, each padded to an even length.
std::vector<Chunk> SplitChunks(std::string_view data) {
    std::vector<Chunk> chunks;
    std::size_t at = 0;
    while (at + 8 <= data.size()) {
        const std::uint32_t size = ReadU32(data, at + 4);
        if (size > data.size() - at - 8)
            throw std::runtime_error("AVI: chunk runs past the end of the file");
        chunks.push_back({data.substr(at, 4), data.substr(at + 8, size)});
        at += 8 + size + (size & 1);
    }
    return chunks;
}

// The body of a LIST chunk of the given type, without the type.
bool IsList(const Chunk& chunk, std::string_view type) {
    return chunk.id == "LIST" && chunk.body.size() >= 4 && chunk.body.substr(0, 4) == type;
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutU16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

std::string MakeChunk(std::string_view id, std::string_view body) {
    std::string out(id);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() & 1)
        out += '\0';
    return out;
}

std::string MakeList(std::string_view type, std::string_view body) {
    return MakeChunk("LIST", std::string(type) + std::string(body));
}

} // namespace

AviClip ParseAvi(const std::string& bytes) {
    const std::string_view file(bytes);
    if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "AVI ")
        throw std::runtime_error("AVI: not a RIFF AVI file");
    const std::uint32_t riffSize = ReadU32(file, 4);
    const std::string_view riff =
        file.substr(12, std::min<std::size_t>(riffSize, file.size() - 8) - 4);

    AviClip clip;
    std::int64_t mainFrameMicroseconds = 0;
    std::int64_t streamFrameMicroseconds = 0;
    int stride = 0;
    bool bottomUp = true;
    bool haveFormat = false;
    for (const Chunk& top : SplitChunks(riff)) {
        if (IsList(top, "hdrl")) {
            for (const Chunk& h : SplitChunks(top.body.substr(4))) {
                if (h.id == "avih") {
                    mainFrameMicroseconds = ReadU32(h.body, 0);
                } else if (IsList(h, "strl")) {
                    for (const Chunk& s : SplitChunks(h.body.substr(4))) {
                        if (s.id == "strh") {
                            if (s.body.substr(0, 4) != "vids")
                                throw std::runtime_error("AVI: the first stream is not video");
                            const std::uint32_t scale = ReadU32(s.body, 20);
                            const std::uint32_t rate = ReadU32(s.body, 24);
                            if (scale > 0 && rate > 0)
                                streamFrameMicroseconds = std::int64_t(scale) * 1000000 / rate;
                        } else if (s.id == "strf" && !haveFormat) {
                            const std::int32_t width = ReadI32(s.body, 4);
                            const std::int32_t height = ReadI32(s.body, 8);
                            const std::uint16_t bits = ReadU16(s.body, 14);
                            const std::uint32_t compression = ReadU32(s.body, 16);
                            if (bits != 24 || compression != 0)
                                throw std::runtime_error("AVI: frames are not uncompressed 24-bit");
                            if (width <= 0 || width > 4096 || height == 0 || height < -4096 ||
                                height > 4096)
                                throw std::runtime_error("AVI: frame size out of range");
                            clip.width = width;
                            clip.height = height < 0 ? -height : height;
                            bottomUp = height > 0;
                            stride = RowStride(width);
                            haveFormat = true;
                        }
                    }
                    break; // the first stream only
                }
            }
        } else if (IsList(top, "movi")) {
            if (!haveFormat)
                throw std::runtime_error("AVI: frames before the stream format");
            const std::size_t frameBytes = std::size_t(stride) * clip.height;
            for (const Chunk& c : SplitChunks(top.body.substr(4))) {
                if (c.id != "00db" && c.id != "00dc")
                    continue;
                if (c.body.size() < frameBytes)
                    throw std::runtime_error("AVI: frame cut short");
                std::vector<std::uint8_t> frame(std::size_t(clip.width) * clip.height * 3);
                for (int y = 0; y < clip.height; ++y) {
                    const int sourceRow = bottomUp ? clip.height - 1 - y : y;
                    const char* src = c.body.data() + std::size_t(sourceRow) * stride;
                    std::uint8_t* dst = frame.data() + std::size_t(y) * clip.width * 3;
                    for (int x = 0; x < clip.width; ++x) { // stored as B, G, R
                        dst[3 * x] = static_cast<std::uint8_t>(src[3 * x + 2]);
                        dst[3 * x + 1] = static_cast<std::uint8_t>(src[3 * x + 1]);
                        dst[3 * x + 2] = static_cast<std::uint8_t>(src[3 * x]);
                    }
                }
                clip.frames.push_back(std::move(frame));
            }
        }
    }
    if (!haveFormat)
        throw std::runtime_error("AVI: no video stream");
    if (clip.frames.empty())
        throw std::runtime_error("AVI: no frames");
    clip.frameMicroseconds =
        streamFrameMicroseconds > 0 ? streamFrameMicroseconds : mainFrameMicroseconds;
    if (clip.frameMicroseconds <= 0)
        throw std::runtime_error("AVI: no frame rate");
    return clip;
}

std::string SerializeAvi(const AviClip& clip, int framesPerSecond) {
    const int stride = RowStride(clip.width);
    const std::uint32_t frameBytes = std::uint32_t(stride) * clip.height;
    const auto frameCount = static_cast<std::uint32_t>(clip.frames.size());

    std::string avih;
    PutU32(avih, 1000000 / framesPerSecond);
    PutU32(avih, frameBytes * framesPerSecond);
    PutU32(avih, 0);
    PutU32(avih, 0x10); // has an index
    PutU32(avih, frameCount);
    PutU32(avih, 0);
    PutU32(avih, 1); // one stream
    PutU32(avih, frameBytes);
    PutU32(avih, clip.width);
    PutU32(avih, clip.height);
    avih.append(16, '\0');

    std::string strh = "vidsDIB ";
    PutU32(strh, 0);
    PutU16(strh, 0);
    PutU16(strh, 0);
    PutU32(strh, 0);
    PutU32(strh, 1);               // scale
    PutU32(strh, framesPerSecond); // rate
    PutU32(strh, 0);
    PutU32(strh, frameCount);
    PutU32(strh, frameBytes);
    PutU32(strh, 0xFFFFFFFF);
    PutU32(strh, 0);
    PutU16(strh, 0);
    PutU16(strh, 0);
    PutU16(strh, static_cast<std::uint16_t>(clip.width));
    PutU16(strh, static_cast<std::uint16_t>(clip.height));

    std::string strf;
    PutU32(strf, 40);
    PutU32(strf, clip.width);
    PutU32(strf, clip.height); // positive: rows bottom-up
    PutU16(strf, 1);
    PutU16(strf, 24);
    PutU32(strf, 0);
    PutU32(strf, frameBytes);
    strf.append(16, '\0');

    std::string movi;
    std::string idx1;
    for (const auto& frame : clip.frames) {
        std::string dib(frameBytes, '\0');
        for (int y = 0; y < clip.height; ++y) {
            const std::uint8_t* src =
                frame.data() + std::size_t(clip.height - 1 - y) * clip.width * 3;
            char* dst = dib.data() + std::size_t(y) * stride;
            for (int x = 0; x < clip.width; ++x) {
                dst[3 * x] = static_cast<char>(src[3 * x + 2]);
                dst[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
                dst[3 * x + 2] = static_cast<char>(src[3 * x]);
            }
        }
        idx1 += "00db";
        PutU32(idx1, 0x10); // key frame
        PutU32(idx1, static_cast<std::uint32_t>(4 + movi.size()));
        PutU32(idx1, frameBytes);
        movi += MakeChunk("00db", dib);
    }

    const std::string hdrl =
        MakeList("hdrl", MakeChunk("avih", avih) +
                             MakeList("strl", MakeChunk("strh", strh) + MakeChunk("strf", strf)));
    const std::string body = "AVI " + hdrl + MakeList("movi", movi) + MakeChunk("idx1", idx1);
    return MakeChunk("RIFF", body);
}

} // namespace quorvia
