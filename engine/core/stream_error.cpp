#include "engine/core/stream_error.h"

namespace kesh {
namespace stream {

error::error(int errorCode) : code(errorCode) {
    const std::wstring wide = text(errorCode);
    message_.assign(wide.begin(), wide.end());  // the texts are plain ASCII
}

std::wstring error::text(int code) {
    switch (code) {
        case 0:
            return L"incorrect file";
        case 1:
            return L"read failed";
        case 2:
            return L"write failed";
        case 3:
            return L"class version error";
        default:
            return L"unknown error (stream::error)";
    }
}

const char* error::what() const noexcept {
    return message_.c_str();
}

}  // namespace stream

namespace serialization {

version_error::version_error(std::uint32_t supportedVersion, std::uint32_t foundVersion,
                             const std::type_info& recordType)
    : stream::error(3), supported(supportedVersion), found(foundVersion), type(&recordType) {}

}  // namespace serialization
}  // namespace kesh
