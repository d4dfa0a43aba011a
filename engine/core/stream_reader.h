// Reads little-endian values and length-prefixed strings from a StreamSource.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/stream_error.h"
#include "engine/core/stream_source.h"

namespace kesh {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "stream values are read as their in-memory image");

class StreamReader {
public:
    // source is not owned and may be null; a reader without a source is bad.
    explicit StreamReader(StreamSource* source);

    // Copies up to count bytes and returns how many came. A short read sets eof and does
    // not throw; a read on a bad reader throws kesh::stream::error 1.
    std::uint32_t read(void* buffer, std::uint32_t count);
    // 2 or 4 bytes into out (u32, i32 and float alike). Bytes past the end of the data
    // leave out as it was.
    StreamReader& readU16(void* out);
    StreamReader& readU32(void* out);
    // A u32 length and that many bytes, appended to out. Bytes missing at the end of the
    // data are appended as '#'. A length longer than the whole data throws
    // kesh::stream::error 1 before anything is allocated.
    void readString(std::string& out);

    bool bad() const { return bad_; }
    bool eof() const { return eof_; }
    // Bytes left in the source (0 without one).
    std::uint32_t remaining() const;
    // The size of the source's whole data (0 without one).
    std::uint32_t totalSize() const;

private:
    StreamSource* source_;
    bool bad_;
    bool eof_ = false;
};

}  // namespace kesh
