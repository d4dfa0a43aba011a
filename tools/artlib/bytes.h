// Little-endian appends for the file writers, and saving a file with its folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artlib {

using Bytes = std::vector<std::uint8_t>;

inline void appendU8(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
}
inline void appendU16(Bytes& out, std::uint32_t value) {
    appendU8(out, value & 0xffu);
    appendU8(out, value >> 8 & 0xffu);
}
inline void appendU32(Bytes& out, std::uint32_t value) {
    appendU16(out, value & 0xffffu);
    appendU16(out, value >> 16);
}
inline void appendText(Bytes& out, const std::string& text) {
    for (const char c : text) {
        appendU8(out, static_cast<unsigned char>(c));
    }
}

// Writes the file, making its folders first. Throws std::runtime_error on failure.
void saveFile(const std::string& path, const Bytes& bytes);
void saveFile(const std::string& path, const std::string& text);

}  // namespace artlib
