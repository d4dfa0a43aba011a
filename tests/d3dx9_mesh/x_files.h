// .x files made by the tests: a small text mesh to build damaged variants of, the binary
// form token by token, and the compressed forms of either.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace x_files {

// "xof 0303txt 0032", a frame named `frameName` holding a 4-vertex, 2-triangle quad whose
// Mesh block ends with `meshChildren`; `before` goes between the header and the frame.
std::string quadText(const std::string& meshChildren = "", const std::string& frameName = "Quad",
                     const std::string& before = "");

// The "tzip" or "bzip" form of a "txt " or "bin " file: its body deflated in blocks of at
// most `blockBytes`, each with the block before it as its dictionary.
std::string compressed(const std::string& plain, std::size_t blockBytes = 32768);

// The binary form, written token by token after a "bin 0032" header.
class Binary {
public:
    Binary();
    Binary& name(const std::string& text);
    Binary& open();
    Binary& close();
    Binary& integers(std::initializer_list<std::uint32_t> values);
    Binary& floats(std::initializer_list<float> values);
    // A list token whose count is `count` but which holds only `values`.
    Binary& integersClaiming(std::uint32_t count, std::initializer_list<std::uint32_t> values);
    const std::string& bytes() const { return bytes_; }

private:
    void word(std::uint16_t value);
    void dword(std::uint32_t value);
    std::string bytes_;
};

// The quad of quadText in the binary form; `vertices` is the count its Mesh declares.
std::string quadBinary(std::uint32_t vertices = 4);

}  // namespace x_files
