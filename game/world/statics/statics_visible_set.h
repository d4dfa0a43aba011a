// The statics that passed one culling, with the camera they were culled for; both draw
// passes of a frame use it.
#pragma once

#include <vector>

#include "engine/render/camera_view.h"

class StaticInstance;

struct StaticsVisibleSet {
    std::vector<StaticInstance*> statics;  // not owned
    kesh::CameraView camera;
};
