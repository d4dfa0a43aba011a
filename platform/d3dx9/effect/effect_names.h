// Names of an effect's parameters or techniques to their index, built once when the effect
// is created: a Set* by name is then one hash of the caller's text, with no copy of it.
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
        for (std::size_t i = 0; i < items.size(); ++i) {
            byName_.emplace(items[i].name, static_cast<int>(i));
        }
    }

    // -1 for a null or unknown name.
    int find(const char* name) const { return name != nullptr ? find(std::string_view(name)) : -1; }
    int find(std::string_view name) const {
        const auto found = byName_.find(name);
        return found != byName_.end() ? found->second : -1;
    }

private:
    std::unordered_map<std::string_view, int> byName_;
};

}  // namespace d3dx9::fx
