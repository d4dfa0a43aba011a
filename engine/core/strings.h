// Narrow/wide conversion and case folding. Conversions go unit by unit with no code page:
// a narrow string holds bytes, a wide one holds each byte as a unit 0..255, so a narrow
// string survives toNarrow(toWide(s)).
#pragma once

#include <string>

namespace kesh {

// Every character through the C library's tolower (as unsigned char: bytes 0x80..0xFF are
// no negative arguments).
std::string toLower(const std::string& text);

// Each unit becomes one char holding its low 8 bits.
std::string toNarrow(const std::wstring& text);

// Each char becomes the unit of its unsigned byte value.
std::wstring toWide(const std::string& text);

}  // namespace kesh
