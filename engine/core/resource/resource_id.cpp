#include "engine/core/resource/resource_id.h"

namespace kesh {

std::uint32_t hashResourceName(const std::string& name) {
    const std::size_t length = name.size();
    std::uint32_t hash = 0xDEADBEEFu;
    if (length == 0) {
        return hash;
    }
    const std::size_t step = length / 16 + 1;
    for (std::size_t i = 0; i + step <= length; i += step) {
        // Characters fold as signed bytes whatever the signedness of char on this platform,
        // so names with bytes above 0x7F hash the same everywhere.
        const std::int8_t c = static_cast<std::int8_t>(static_cast<unsigned char>(name[i]));
        hash += static_cast<std::uint32_t>(static_cast<std::int32_t>(c));
    }
    return hash;
}

}  // namespace kesh
