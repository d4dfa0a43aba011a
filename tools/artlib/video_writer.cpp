#include "tools/artlib/video_writer.h"

namespace artlib {

Bytes videoBytes(const std::vector<Bytes>& frames) {
    Bytes out;
    appendU32(out, 0);  // reserved
    appendU32(out, static_cast<std::uint32_t>(frames.size()));
    std::uint32_t offset = 0;  // counted from the end of the table
    for (const Bytes& frame : frames) {
        appendU32(out, offset);
        appendU32(out, static_cast<std::uint32_t>(frame.size()));
        offset += static_cast<std::uint32_t>(frame.size());
    }
    for (const Bytes& frame : frames) {
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

}  // namespace artlib
