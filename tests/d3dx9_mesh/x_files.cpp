#include "tests/d3dx9_mesh/x_files.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace x_files {

std::string quadText(const std::string& meshChildren, const std::string& frameName,
                     const std::string& before) {
    return "xof 0303txt 0032\n" + before + "Frame " + frameName +
           " {\n"
           " FrameTransformMatrix { "
           "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;; }\n"
           " Mesh {\n"
           "  4;\n"
           "  0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
           "  2;\n"
           "  3;0,1,2;, 3;0,2,3;;\n" +
           meshChildren + " }\n}\n";
}

std::string compressed(const std::string& plain, std::size_t blockBytes) {
    std::string out = plain.substr(0, 16);
    std::memcpy(&out[8], plain.compare(8, 4, "bin ") == 0 ? "bzip" : "tzip", 4);
    auto put16 = [&out](unsigned value) {
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>(value >> 8));
    };
    const std::uint32_t total = static_cast<std::uint32_t>(plain.size());
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>(total >> (8 * i)));
    }
    const std::string body = plain.substr(16);
    for (std::size_t at = 0; at < body.size(); at += blockBytes) {
        const std::size_t length = std::min(blockBytes, body.size() - at);
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        if (at > 0) {
            const std::size_t previous = std::min(blockBytes, at);
            deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(&body[at - previous]),
                                 static_cast<uInt>(previous));
        }
        std::vector<Bytef> packed(deflateBound(&stream, static_cast<uLong>(length)));
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(&body[at]));
        stream.avail_in = static_cast<uInt>(length);
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        const std::size_t packedBytes = packed.size() - stream.avail_out;
        deflateEnd(&stream);
        put16(static_cast<unsigned>(length));
        put16(static_cast<unsigned>(packedBytes + 2));
        out += "CK";
        out.append(reinterpret_cast<const char*>(packed.data()), packedBytes);
    }
    return out;
}

Binary::Binary() : bytes_("xof 0303bin 0032") {}

void Binary::word(std::uint16_t value) {
    bytes_.push_back(static_cast<char>(value & 0xFF));
    bytes_.push_back(static_cast<char>(value >> 8));
}

void Binary::dword(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<char>(value >> (8 * i)));
    }
}

Binary& Binary::name(const std::string& text) {
    word(1);
    dword(static_cast<std::uint32_t>(text.size()));
    bytes_ += text;
    return *this;
}

Binary& Binary::open() {
    word(0x0A);
    return *this;
}

Binary& Binary::close() {
    word(0x0B);
    return *this;
}

Binary& Binary::integers(std::initializer_list<std::uint32_t> values) {
    return integersClaiming(static_cast<std::uint32_t>(values.size()), values);
}

Binary& Binary::integersClaiming(std::uint32_t count, std::initializer_list<std::uint32_t> values) {
    word(6);
    dword(count);
    for (std::uint32_t value : values) {
        dword(value);
    }
    return *this;
}

Binary& Binary::floats(std::initializer_list<float> values) {
    word(7);
    dword(static_cast<std::uint32_t>(values.size()));
    for (float value : values) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        dword(bits);
    }
    return *this;
}

std::string quadBinary(std::uint32_t vertices) {
    Binary x;
    x.name("Frame").name("Quad").open();
    x.name("Mesh").open();
    x.integers({vertices});
    x.floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    x.integers({2, 3, 0, 1, 2, 3, 0, 2, 3});
    x.close().close();
    return x.bytes();
}

}  // namespace x_files
