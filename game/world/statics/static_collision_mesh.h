// The collision shape of a solid static: one ODE box per part box of its mesh, each inside a
// geometry transform so that the whole static moves as one, and the same boxes in world space
// for the chase camera's view test.
#pragma once

#include <string>
#include <vector>

#include "engine/core/oriented_box.h"
#include "engine/core/transform.h"
#include "engine/render/mesh/mesh_info.h"
#include "game/vehicle/physics/physics_object.h"

class StaticCollisionMesh : public PhysicsObject {
public:
    // The boxes come from the ".wfm" mesh of that name (through the mesh-info cache, whose
    // failure to fetch it throws): boxes 1..n when the mesh has more than one, box 0 when it
    // has exactly one, sized by t's scale (a negative one mirrors where the boxes lie along
    // that axis). The object is placed at t.
    // Throws std::runtime_error naming the mesh and the part when a box, scaled, has a side
    // that is not finite.
    StaticCollisionMesh(const std::string& meshName, const kesh::Transform& t);
    // The same from a mesh already at hand; meshName only names it in errors.
    StaticCollisionMesh(const kesh::MeshInfo& info, const std::string& meshName,
                        const kesh::Transform& t);

    // Places every box at t's position and rotation and rebuilds obstacleBoxes.
    void setTransform(const kesh::Transform& t);
    // Every box on the debug renderer.
    void debugDraw() const;

    std::vector<kesh::OrientedBox> obstacleBoxes;
};
