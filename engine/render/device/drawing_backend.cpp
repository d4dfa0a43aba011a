#include "engine/render/device/drawing_backend.h"

#include <d3d9/drawing.h>

#include "engine/render/log_lines.h"

namespace kesh {

bool selectDrawingBackend() {
    const d3d9::BackendChoice choice = d3d9::chooseBackend();
    if (choice.kind == d3d9::BackendKind::Gl) {
        writeLine(boost::log::logVideo(), "Drawing through OpenGL");
        return true;
    }
    writeLine(boost::log::logVideo(), "OpenGL is not available (", choice.reason,
              "): nothing will be drawn");
    return false;
}

}  // namespace kesh
