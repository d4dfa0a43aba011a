#include "engine/core/archive.h"

#include <cstring>

namespace kesh {

void readStreamHeader(StreamReader& reader, StreamHeader& header) {
    static const char expected[6] = {'s', 't', 'r', 'e', 'a', 'm'};
    // All six bytes must be there: a shorter file is not one of ours.
    if (reader.read(header.magic, 6) != 6 || std::memcmp(header.magic, expected, 6) != 0) {
        throw stream::error(0);
    }
    reader.readU32(&header.first).readU32(&header.second);
    reader.readString(header.text);
}

InputArchive::InputArchive(StreamReader* streamReader) : reader(streamReader) {
    readStreamHeader(*reader, header);
}

namespace serialization {

std::uint32_t readVersion(InputArchive& archive, std::uint32_t supported,
                          const std::type_info& type) {
    std::uint32_t word = 0;
    archive.reader->readU32(&word);
    if (word & 0x80000000u) {
        std::string className;
        archive.reader->readString(className);
    }
    const std::uint32_t version = word & 0x7FFFFFFFu;
    if (version > supported) {
        throw version_error(supported, version, type);
    }
    return version;
}

void checkCount(const StreamReader& reader, std::uint32_t count, std::uint32_t minSize) {
    const std::uint32_t fits = reader.remaining() / (minSize > 0 ? minSize : 1);
    if (count > fits) {
        throw stream::error(1);
    }
}

void readElement(InputArchive& archive, std::string& value) {
    archive.reader->readString(value);
}
void readElement(InputArchive& archive, std::int32_t& value) {
    archive.reader->readU32(&value);
}
void readElement(InputArchive& archive, std::uint32_t& value) {
    archive.reader->readU32(&value);
}
void readElement(InputArchive& archive, float& value) {
    archive.reader->readU32(&value);
}

void readBody(InputArchive& archive, D3DXMATRIX& matrix, std::uint32_t /*version*/) {
    for (auto& row : matrix.m) {
        for (float& value : row) {
            archive.reader->readU32(&value);
        }
    }
}

}  // namespace serialization
}  // namespace kesh
