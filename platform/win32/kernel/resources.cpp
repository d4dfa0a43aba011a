#include "win32/resources.h"

#include <algorithm>
#include <vector>

#include "win32/kernel.h"

namespace win32 {
namespace {

struct Table {
    const ResourceEntry* entries;
    std::size_t count;
};

// Filled by the static registrations of the linked tables, before main runs.
std::vector<Table>& tables() {
    static std::vector<Table> registered;
    return registered;
}

wchar_t lowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

bool sameName(const char* narrow, const wchar_t* wide) {
    for (; *narrow != '\0' && *wide != L'\0'; ++narrow, ++wide) {
        const wchar_t n = static_cast<wchar_t>(static_cast<unsigned char>(*narrow));
        if (lowerAscii(n) != lowerAscii(*wide)) {
            return false;
        }
    }
    return *narrow == '\0' && *wide == L'\0';
}

}  // namespace

ResourceTableRegistration::ResourceTableRegistration(const ResourceEntry* entries,
                                                     std::size_t count)
    : entries_(entries) {
    tables().push_back({entries, count});
}

ResourceTableRegistration::~ResourceTableRegistration() {
    auto& all = tables();
    all.erase(std::remove_if(all.begin(), all.end(),
                             [this](const Table& t) { return t.entries == entries_; }),
              all.end());
}

const ResourceEntry* findResource(HMODULE module, WORD type, const wchar_t* name) {
    if ((module != nullptr && module != GetModuleHandleW(nullptr)) || name == nullptr) {
        return nullptr;
    }
    for (const Table& table : tables()) {
        for (std::size_t i = 0; i < table.count; ++i) {
            const ResourceEntry& entry = table.entries[i];
            if (entry.type == type && sameName(entry.name, name)) {
                return &entry;
            }
        }
    }
    return nullptr;
}

}  // namespace win32
