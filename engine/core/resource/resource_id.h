// The name of a loadable asset: a path relative to its loader's folder, as written in data
// files and scripts. Scripts see it as `res`.
#pragma once

#include <cstdint>
#include <string>

namespace kesh {

struct ResourceId {
    ResourceId() = default;
    ResourceId(const std::string& name) : id(name) {}
    // A null pointer gives the empty identifier rather than undefined behaviour.
    ResourceId(const char* name) : id(name ? name : "") {}

    std::string id;
};

inline bool operator==(const ResourceId& a, const ResourceId& b) {
    return a.id == b.id;
}
inline bool operator!=(const ResourceId& a, const ResourceId& b) {
    return a.id != b.id;
}

// Sums at most 16 evenly spaced characters (each as a signed 8-bit value) onto 0xDEADBEEF, so
// long paths hash as cheaply as short ones. The empty name hashes to 0xDEADBEEF.
std::uint32_t hashResourceName(const std::string& name);

struct ResourceNameHash {
    std::size_t operator()(const std::string& name) const { return hashResourceName(name); }
};

}  // namespace kesh
