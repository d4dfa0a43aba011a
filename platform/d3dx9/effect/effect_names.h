// Names of an effect's parameters or techniques to their index, built once when the effect
// is created: a Set* by name is then one hash of the caller's text, with no copy of it.
// A handle the effect gave out is an item's own name, found by its address first: two
// unnamed or same-named techniques are two handles all the same.
#pragma once

#include <string_view>
#include <unordered_map>

namespace d3dx9::fx {

class NameIndex {
public:
    // The keys view the items' own names: the items outlive the index and never change.
    // The first of two items of one name is the one found.
    template <class Items>
    explicit NameIndex(const Items& items) {
        byName_.reserve(items.size());
        byAddress_.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            byName_.emplace(items[i].name, static_cast<int>(i));
            byAddress_.emplace(items[i].name.c_str(), static_cast<int>(i));
        }
    }

    // The handle of an item: its own name.
    template <class Item>
    static const char* handleOf(const Item& item) {
        return item.name.c_str();
    }

    // The item a handle names: one the effect gave out, else the first item of that name;
    // -1 for null or an unknown name.
    int findHandle(const char* handle) const {
        if (handle == nullptr) {
            return -1;
        }
        const auto own = byAddress_.find(handle);
        return own != byAddress_.end() ? own->second : find(std::string_view(handle));
    }

    // -1 for a null or unknown name.
    int find(const char* name) const { return name != nullptr ? find(std::string_view(name)) : -1; }
    int find(std::string_view name) const {
        const auto found = byName_.find(name);
        return found != byName_.end() ? found->second : -1;
    }

private:
    std::unordered_map<std::string_view, int> byName_;
    std::unordered_map<const char*, int> byAddress_;
};

}  // namespace d3dx9::fx
