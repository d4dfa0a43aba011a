// Fragments shaded while a query is open on the current OpenGL context: GL's pipeline
// statistics where the driver offers them (fragment shader invocations, every fragment
// shaded whatever the depth test then does), else an occlusion query (samples that pass
// the depth test, which leaves out what is drawn and then hidden).
#pragma once

#include <cstdint>
#include <string>

namespace bench {

class FragmentQuery {
public:
    // Needs the context current.
    FragmentQuery();
    ~FragmentQuery();
    FragmentQuery(const FragmentQuery&) = delete;
    FragmentQuery& operator=(const FragmentQuery&) = delete;

    void begin();
    // Waits for the count of the work since begin().
    std::uint64_t end();
    // What is counted, for the table ("shaded" or "depth-passing").
    const char* counts() const { return invocations_ ? "shaded" : "depth-passing"; }

private:
    unsigned name_ = 0;
    unsigned target_ = 0;
    bool invocations_ = false;
};

}  // namespace bench
