// Checks for the part of a case that runs in a child process (EXPECT_EXIT), where the test's
// own assertions would not reach the parent: the child's exit code is the verdict, and a
// failed check names its condition on standard error.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace morvale_testing {

// _Exit: the child leaves without the parent's exit handlers and destructors, which own the
// parent's resources (an X server, say).
[[noreturn]] inline void finish(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
    }
    std::_Exit(ok ? 0 : 1);
}

}  // namespace morvale_testing

#define CHILD_CHECK(condition) \
    if (!(condition))          \
    morvale_testing::finish(false, #condition)
