#include "tools/artlib/stream_writer.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace artlib {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "stream values are written as their in-memory image");

void StreamWriter::writeBytes(const void* data, std::size_t count) {
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), begin, begin + count);
}

void StreamWriter::writeU16(std::uint16_t value) {
    writeBytes(&value, sizeof value);
}
void StreamWriter::writeU32(std::uint32_t value) {
    writeBytes(&value, sizeof value);
}
void StreamWriter::writeI32(std::int32_t value) {
    writeBytes(&value, sizeof value);
}
void StreamWriter::writeFloat(float value) {
    writeBytes(&value, sizeof value);
}

void StreamWriter::writeString(const std::string& value) {
    writeU32(static_cast<std::uint32_t>(value.size()));
    writeBytes(value.data(), value.size());
}

void StreamWriter::writeHeader(std::uint32_t first, std::uint32_t second, const std::string& text) {
    writeBytes("stream", 6);
    writeU32(first);
    writeU32(second);
    writeString(text);
}

void StreamWriter::writeVersion(std::uint32_t version, const std::string& className) {
    if (className.empty()) {
        writeU32(version & 0x7FFFFFFFu);
        return;
    }
    writeU32(version | 0x80000000u);
    writeString(className);
}

void StreamWriter::writeMatrix(const D3DXMATRIX& matrix, const std::string& className) {
    writeVersion(0, className);
    for (const auto& row : matrix.m) {
        for (const float value : row) {
            writeFloat(value);
        }
    }
}

void StreamWriter::writeStringVector(const std::vector<std::string>& values,
                                     const std::string& className) {
    writeVector(
        values, [](StreamWriter& out, const std::string& value) { out.writeString(value); },
        className);
}

void StreamWriter::save(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes_.data()),
               static_cast<std::streamsize>(bytes_.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace artlib
