// The one reference holder of COM-shaped objects: every way in and out keeps the count exact.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "win32/com_object.h"
#include "win32/com_ptr.h"

namespace {

// Tells its count and notes its own end, and what a watched holder held at that moment.
class Counted : public win32::ComObject<IUnknown> {
public:
    explicit Counted(int* destroyed) : destroyed_(destroyed) {}
    ~Counted() override {
        ++*destroyed_;
        if (watched_ != nullptr) {
            *heldAtEnd_ = watched_->get();
        }
    }
    ULONG count() const { return references(); }
    void watch(const win32::ComPtr<Counted>* holder, Counted** heldAtEnd) {
        watched_ = holder;
        heldAtEnd_ = heldAtEnd;
    }

private:
    int* destroyed_;
    const win32::ComPtr<Counted>* watched_ = nullptr;
    Counted** heldAtEnd_ = nullptr;
};

// The shape of a Create* call: fills the out-parameter with a new reference, or null.
HRESULT create(int* destroyed, bool succeed, Counted** out) {
    *out = succeed ? new Counted(destroyed) : nullptr;
    return succeed ? S_OK : E_FAIL;
}

static_assert(!std::is_convertible_v<win32::ComPtr<Counted>, bool>, "bool is explicit");
static_assert(!std::is_convertible_v<Counted*, win32::ComPtr<Counted>>, "adopting is explicit");

TEST(ComPtrTest, AdoptingTakesNoReferenceAndAddRefTakesOne) {
    int destroyed = 0;
    auto* raw = new Counted(&destroyed);
    {
        const win32::ComPtr<Counted> adopted(raw);
        EXPECT_EQ(raw->count(), 1u);
        EXPECT_EQ(adopted.get(), raw);
        EXPECT_TRUE(adopted);
        {
            const win32::ComPtr<Counted> shared = win32::addRef(raw);
            EXPECT_EQ(raw->count(), 2u);
            EXPECT_EQ(shared->count(), 2u);
        }
        EXPECT_EQ(raw->count(), 1u);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(win32::addRef<Counted>(nullptr));
    EXPECT_FALSE(win32::ComPtr<Counted>(nullptr));
}

TEST(ComPtrTest, CopiesAddAReferenceAndMovesHandTheirsOver) {
    int destroyed = 0;
    win32::ComPtr<Counted> first(new Counted(&destroyed));
    win32::ComPtr<Counted> copy(first);
    EXPECT_EQ(first->count(), 2u);

    win32::ComPtr<Counted> other(new Counted(&destroyed));
    other = first;  // the object other held goes
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(first->count(), 3u);
    const win32::ComPtr<Counted>& same = other;
    other = same;  // assigning a holder to itself keeps its reference
    EXPECT_EQ(first->count(), 3u);

    win32::ComPtr<Counted> moved(std::move(copy));
    EXPECT_FALSE(copy);
    EXPECT_EQ(first->count(), 3u);
    other = std::move(moved);  // other's own reference goes, moved's takes its place
    EXPECT_FALSE(moved);
    EXPECT_EQ(first->count(), 2u);

    other = nullptr;
    first.reset();
    EXPECT_EQ(destroyed, 2);
}

TEST(ComPtrTest, ResetAndReleaseAndTheOutParameter) {
    int destroyed = 0;
    win32::ComPtr<Counted> held(new Counted(&destroyed));
    Counted* heldAtEnd = held.get();
    held->watch(&held, &heldAtEnd);
    auto* next = new Counted(&destroyed);
    held.reset(next);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(heldAtEnd, next) << "the old object goes after the new one is in place";
    EXPECT_EQ(next->count(), 1u);

    // Handing the reference on: no Release, the caller owes it.
    Counted* given = held.release();
    EXPECT_FALSE(held);
    EXPECT_EQ(given->count(), 1u);
    given->Release();
    EXPECT_EQ(destroyed, 2);

    // A pointer filled twice loses nothing: the first object goes before the second call.
    win32::ComPtr<Counted> made;
    ASSERT_EQ(create(&destroyed, true, made.out()), S_OK);
    ASSERT_EQ(create(&destroyed, true, made.out()), S_OK);
    EXPECT_EQ(destroyed, 3);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->count(), 1u);
    EXPECT_EQ(create(&destroyed, false, made.out()), E_FAIL);
    EXPECT_EQ(destroyed, 4);
    EXPECT_FALSE(made);
}

}  // namespace
