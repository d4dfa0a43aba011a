// MSZIP: after the header, the body's inflated size (4 bytes), then blocks of their inflated
// size (2 bytes), their compressed size (2 bytes, counting "CK"), "CK" and raw deflate data.
// Each block is inflated on its own with the block before it as its dictionary.
#include "mesh/x_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace d3dx9 {
namespace {

// No block inflates to more than this.
constexpr unsigned kBlockBytes = 32786;
// Deflate writes at most 258 bytes with two one-bit codes.
constexpr unsigned long long kMostInflation = 1032;

unsigned readU16(const std::uint8_t* p) {
    return unsigned{p[0]} | (unsigned{p[1]} << 8);
}

struct Inflater {
    Inflater() { ok = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (ok) {
            inflateEnd(&stream);
        }
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream stream{};
    bool ok = false;
};

}  // namespace

bool isCompressedXFile(const std::uint8_t* data, std::size_t size) {
    return size >= 16 && std::memcmp(data, "xof ", 4) == 0 &&
           (std::memcmp(data + 8, "tzip", 4) == 0 || std::memcmp(data + 8, "bzip", 4) == 0);
}

std::optional<std::vector<std::uint8_t>> inflateXFile(const std::uint8_t* data, std::size_t size) {
    if (!isCompressedXFile(data, size) || size < 22) {
        return std::nullopt;
    }
    // The first block's inflated size is not needed: each block says where the next starts.
    // Each block is read as the importer would read it: its compressed size counts "CK",
    // and the next block's inflated size follows its data.
    constexpr size_t kFirstBlock = 22;
    // Blocks are found first, so that the output is sized once, held to what the input can
    // inflate to.
    unsigned long long blocks = 0;
    for (size_t at = kFirstBlock; at < size && size - at >= 4; ++blocks) {
        const unsigned length = readU16(data + at);
        if (length == 0 || length >= kBlockBytes || readU16(data + at + 2) != ('C' | ('K' << 8))) {
            return std::nullopt;
        }
        at += 4 + length;
    }
    if (blocks == 0 || blocks * kBlockBytes > kMostInflation * size + kBlockBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> plain(data, data + 16);
    std::memcpy(plain.data() + 8, data[8] == 't' ? "txt " : "bin ", 4);
    plain.reserve(16 + blocks * kBlockBytes);
    Inflater inflater;
    if (!inflater.ok) {
        return std::nullopt;
    }
    z_stream& stream = inflater.stream;
    for (size_t at = kFirstBlock; at < size && size - at >= 4;) {
        const unsigned length = readU16(data + at);
        at += 4;
        const size_t written = plain.size();
        plain.resize(written + kBlockBytes);
        stream.next_in = const_cast<Bytef*>(data + at);
        stream.avail_in = static_cast<uInt>(std::min<size_t>(length, size - at));
        stream.next_out = plain.data() + written;
        stream.avail_out = kBlockBytes;
        const int result = inflate(&stream, Z_SYNC_FLUSH);
        const unsigned produced = kBlockBytes - stream.avail_out;
        if ((result != Z_OK && result != Z_STREAM_END) || stream.avail_out == 0) {
            return std::nullopt;
        }
        plain.resize(written + produced);
        if (inflateReset(&stream) != Z_OK ||
            inflateSetDictionary(&stream, plain.data() + written, produced) != Z_OK) {
            return std::nullopt;
        }
        at += length;
    }
    return plain;
}

}  // namespace d3dx9
