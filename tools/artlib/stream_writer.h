// Writes the stream container read by kesh::InputArchive: the header, little-endian
// values, length-prefixed strings and versioned records.
#pragma once

#include <d3dx9math.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace artlib {

class StreamWriter {
public:
    void writeBytes(const void* data, std::size_t count);
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeI32(std::int32_t value);
    void writeFloat(float value);
    void writeString(const std::string& value);

    // "stream", the two header words and the header text.
    void writeHeader(std::uint32_t first = 0, std::uint32_t second = 0,
                     const std::string& text = std::string());
    // The version word of a record. With a class name, bit 31 is set and the name
    // follows as a string.
    void writeVersion(std::uint32_t version, const std::string& className = std::string());
    // A matrix record: version 0 and sixteen floats row by row.
    void writeMatrix(const D3DXMATRIX& matrix, const std::string& className = std::string());

    // A vector record (version 0): the count, then each element through writeElement.
    template <class T, class WriteElement>
    void writeVector(const std::vector<T>& values, WriteElement writeElement,
                     const std::string& className = std::string()) {
        writeVersion(0, className);
        writeU32(static_cast<std::uint32_t>(values.size()));
        for (const T& value : values) {
            writeElement(*this, value);
        }
    }
    void writeStringVector(const std::vector<std::string>& values,
                           const std::string& className = std::string());

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Throws std::runtime_error when the file cannot be written.
    void save(const std::string& path) const;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace artlib
