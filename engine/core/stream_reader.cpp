#include "engine/core/stream_reader.h"

#include <exception>

#include "engine/core/stream_error.h"

namespace kesh {

StreamReader::StreamReader(StreamSource* source) : source_(source), bad_(source == nullptr) {}

std::uint32_t StreamReader::read(void* buffer, std::uint32_t count) {
    if (bad_ || !source_) {
        throw stream::error(1);
    }
    std::uint32_t got = 0;
    try {
        got = source_->read(buffer, count);
    } catch (const std::exception&) {
        bad_ = true;
        return 0;
    }
    if (got < count) {
        eof_ = true;
    }
    return got;
}

StreamReader& StreamReader::readU16(void* out) {
    read(out, 2);
    return *this;
}

StreamReader& StreamReader::readU32(void* out) {
    read(out, 4);
    return *this;
}

void StreamReader::readString(std::string& out) {
    std::uint32_t length = 0;
    readU32(&length);
    if (bad_) {
        return;
    }
    // A length beyond the whole file can only come from corrupted data; a shorter one
    // that merely runs past the end is a truncated file and is padded below.
    if (length > totalSize()) {
        throw stream::error(1);
    }
    out.reserve(out.size() + length);
    std::string bytes(length, '#');
    const std::uint32_t got = length > 0 ? read(&bytes[0], length) : 0;
    if (bad_) {
        out.append(bytes, 0, got);
        return;
    }
    out += bytes;
}

std::uint32_t StreamReader::remaining() const {
    return source_ ? source_->remaining() : 0;
}

std::uint32_t StreamReader::totalSize() const {
    return source_ ? source_->size() : 0;
}

}  // namespace kesh
