// Runs the shader compiler's work in a forked child process. glslang's HLSL front end
// dereferences null on some malformed code; in a child that kills only the child, and the
// effect fails with a compile error instead of taking the game down with it.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace d3dx9::fx {

struct ChildOutcome {
    bool finished = false;  // the work ran to its end and its whole output arrived
    std::string output;     // what the work returned, when finished
    std::string failure;    // why not, when not finished ("it died of signal 11")
};

// Forks, runs `work` in the child and hands its returned bytes back through a pipe. The child
// runs nothing but `work` (no exit handlers, no destructors of the parent's objects) and
// always ends with _exit(0); a child that dies, hangs past `timeout` or ends without its
// output is reported as not finished. `work` must catch its own exceptions. One child runs at
// a time, so that no other compile's pipe leaks into it.
ChildOutcome runInChild(const std::function<std::string()>& work,
                        std::chrono::milliseconds timeout);

}  // namespace d3dx9::fx
