// The exceptions of the binary stream layer.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <typeinfo>

namespace kesh {
namespace stream {

// code: 0 incorrect file, 1 read failed, 2 write failed, 3 class version error.
class error : public std::exception {
public:
    explicit error(int code);

    // The message shown for a code; unknown codes have a text of their own.
    static std::wstring text(int code);
    // The same text, narrow.
    const char* what() const noexcept override;

    int code;

private:
    std::string message_;
};

}  // namespace stream

namespace serialization {

// A record stored with a newer version than this program reads.
class version_error : public stream::error {
public:
    version_error(std::uint32_t supported, std::uint32_t found, const std::type_info& type);

    std::uint32_t supported;  // the highest version the reader knows
    std::uint32_t found;      // the version in the file
    const std::type_info* type;
};

}  // namespace serialization
}  // namespace kesh
