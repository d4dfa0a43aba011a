// One frame's queue of debug items that keeps its items, texts and all, when it is emptied:
// a frame that queues no more than an earlier one touches no heap.
#pragma once

#include <cstddef>
#include <vector>

namespace kesh {

template <class Item>
class DebugQueue {
public:
    typedef typename std::vector<Item>::const_iterator const_iterator;

    // The slot of a new item at the end. It may still hold an earlier frame's item: the
    // caller sets every member.
    Item& add() {
        if (count_ == items_.size()) {
            items_.emplace_back();
        }
        return items_[count_++];
    }
    void clear() { count_ = 0; }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Both only on a queue that is not empty.
    const Item& front() const { return items_.front(); }
    const Item& back() const { return items_[count_ - 1]; }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.begin() + static_cast<std::ptrdiff_t>(count_); }

private:
    std::vector<Item> items_;
    std::size_t count_ = 0;
};

}  // namespace kesh
