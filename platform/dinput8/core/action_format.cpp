#include "core/action_format.h"

namespace dinput8 {

bool validFormat(const DIACTIONFORMATW* format) {
    if (format == nullptr || format->dwSize != sizeof(DIACTIONFORMATW) ||
        format->dwActionSize != sizeof(DIACTIONW)) {
        return false;
    }
    if (format->dwNumActions > 0 && format->rgoAction == nullptr) {
        return false;
    }
    // Every action owns four bytes of the data its offsets point into.
    if (format->dwDataSize / 4 < format->dwNumActions) {
        return false;
    }
    return format->lAxisMin < format->lAxisMax;
}

}  // namespace dinput8
