#include "bare_ode_car.h"

#include <algorithm>
#include <stdexcept>

#include "game/vehicle/car/car.h"
#include "game/vehicle/physics/ground_plane.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/world/statics/statics_set.h"
#include "tests/support/car_probe.h"

namespace bench {
namespace {

void copyPose(dGeomID from, dGeomID to) {
    const dReal* p = dGeomGetPosition(from);
    dGeomSetPosition(to, p[0], p[1], p[2]);
    dQuaternion q;
    dGeomGetQuaternion(from, q);
    dGeomSetQuaternion(to, q);
}

// A shape of the same class and sizes, in no space and on no body.
dGeomID copyShape(dGeomID from) {
    switch (dGeomGetClass(from)) {
        case dBoxClass: {
            dVector3 sides;
            dGeomBoxGetLengths(from, sides);
            return dCreateBox(nullptr, sides[0], sides[1], sides[2]);
        }
        case dCapsuleClass: {
            dReal radius = 0, length = 0;
            dGeomCapsuleGetParams(from, &radius, &length);
            return dCreateCapsule(nullptr, radius, length);
        }
        case dSphereClass:
            return dCreateSphere(nullptr, dGeomSphereGetRadius(from));
        case dGeomTransformClass: {
            const dGeomID inner = dGeomTransformGetGeom(from);
            const dGeomID shape = copyShape(inner);
            copyPose(inner, shape);
            const dGeomID transform = dCreateGeomTransform(nullptr);
            dGeomTransformSetGeom(transform, shape);
            dGeomTransformSetCleanup(transform, 1);
            dGeomTransformSetInfo(transform, 1);
            return transform;
        }
        default:
            throw std::runtime_error("a geom class the bare copy does not know");
    }
}

}  // namespace

BareOdeCar::State BareOdeCar::State::of(dBodyID body) {
    State state{};
    std::copy_n(dBodyGetPosition(body), 3, state.position);
    std::copy_n(dBodyGetQuaternion(body), 4, state.rotation);
    std::copy_n(dBodyGetLinearVel(body), 3, state.velocity);
    std::copy_n(dBodyGetAngularVel(body), 3, state.spin);
    return state;
}

BareOdeCar::Push BareOdeCar::Push::of(dBodyID body) {
    Push push{};
    std::copy_n(dBodyGetForce(body), 3, push.force);
    std::copy_n(dBodyGetTorque(body), 3, push.torque);
    return push;
}

BareOdeCar::BareOdeCar(const CCar& car, StaticsSet& statics, const GroundPlane& ground,
                       const physics::params::SCollisions& surfaces)
    : world(dWorldCreate()),
      joints(dJointGroupCreate(0)),
      carSpace(dSimpleSpaceCreate(nullptr)),
      wheelSpace(dSimpleSpaceCreate(nullptr)),
      staticsSpace(dSimpleSpaceCreate(nullptr)),
      groundSpace(dSimpleSpaceCreate(nullptr)),
      body(dBodyCreate(world)),
      found(),
      feedback() {
    dWorldSetGravity(world, 0.0, -98.1, 0.0);
    dBodySetFiniteRotationMode(body, 1);
    dMass m;
    dBodyGetMass(car.body, &m);
    dBodySetMass(body, &m);
    const dReal* p = dBodyGetPosition(car.body);
    dBodySetPosition(body, p[0], p[1], p[2]);
    dBodySetQuaternion(body, dBodyGetQuaternion(car.body));
    const dReal* v = dBodyGetLinearVel(car.body);
    dBodySetLinearVel(body, v[0], v[1], v[2]);
    const dReal* w = dBodyGetAngularVel(car.body);
    dBodySetAngularVel(body, w[0], w[1], w[2]);

    for (dGeomID g : car.geoms) {
        const dGeomID copy = copyShape(g);
        dGeomSetBody(copy, body);
        if (dGeomGetClass(g) != dGeomTransformClass) {
            // A geom straight on the body keeps its offset from it.
            const dReal* offset = dGeomGetOffsetPosition(g);
            if (offset[0] != 0 || offset[1] != 0 || offset[2] != 0) {
                dGeomSetOffsetPosition(copy, offset[0], offset[1], offset[2]);
            }
        }
        dSpaceAdd(carSpace, copy);
        carGeoms.push_back(copy);
    }
    const std::vector<D3DXVECTOR3>& carMounts = CarProbe::mounts(car);
    for (std::size_t i = 0; i < carMounts.size(); ++i) {
        const auto* wheel = dynamic_cast<const PhysicsObject*>(&CarProbe::wheel(car, i));
        if (wheel == nullptr || wheel->geoms.empty()) {
            throw std::runtime_error("a wheel without its ray");
        }
        const dReal length = dGeomRayGetLength(wheel->geoms.front());
        Mount mount{carMounts[i].x, carMounts[i].z, dCreateRay(wheelSpace, length)};
        mounts.push_back(mount);
    }
    // In the order the level put them in its space.
    for (const auto& instance : statics.statics()) {
        if (!instance->collisionMesh) {
            continue;
        }
        for (dGeomID g : instance->collisionMesh->geoms) {
            const dGeomID copy = copyShape(g);
            copyPose(g, copy);
            dSpaceAdd(staticsSpace, copy);
        }
    }
    if (dSpaceGetClass(statics.collisionSpace().id) == dQuadTreeSpaceClass) {
        staticsSpace = PhysicsSpace::quadTreeOf(staticsSpace);
    }
    dVector4 plane;
    dGeomPlaneGetParams(ground.geoms.front(), plane);
    dCreatePlane(groundSpace, plane[0], plane[1], plane[2], plane[3]);
    terrain = *surfaces.car_to_terrain;
    buildings = *surfaces.car_to_buildings;
}

BareOdeCar::~BareOdeCar() {
    dJointGroupDestroy(joints);
    dSpaceDestroy(carSpace);
    dSpaceDestroy(wheelSpace);
    dSpaceDestroy(staticsSpace);
    dSpaceDestroy(groundSpace);
    dBodyDestroy(body);
    dWorldDestroy(world);
}

void BareOdeCar::collide(dSpaceID other, const physics::params::SPhysicalSurface& surface) {
    int count = 0;
    for (dGeomID g : carGeoms) {
        if (count >= kMaxContacts) {
            break;
        }
        count += dCollide(g, reinterpret_cast<dGeomID>(other), kMaxContacts - count, &found[count],
                          sizeof(dContactGeom));
    }
    for (int i = 0; i < count; ++i) {
        dContact contact{};
        contact.surface = surface.getSurfaceParameters();
        contact.geom = found[i];
        contact.geom.depth *= surface.contact_dampener;
        const dJointID joint = dJointCreateContact(world, joints, &contact);
        if (feedbackUsed < kMaxContacts) {
            dJointSetFeedback(joint, &feedback[feedbackUsed++]);
        }
        dJointAttach(joint, dGeomGetBody(found[i].g1), dGeomGetBody(found[i].g2));
        ++lastContacts;
    }
}

void BareOdeCar::step(const State& from, const Push& push, float dt) {
    dBodySetPosition(body, from.position[0], from.position[1], from.position[2]);
    dBodySetQuaternion(body, from.rotation);
    dBodySetLinearVel(body, from.velocity[0], from.velocity[1], from.velocity[2]);
    dBodySetAngularVel(body, from.spin[0], from.spin[1], from.spin[2]);
    lastContacts = 0;
    feedbackUsed = 0;
    // The wheels' rays are cast as the game casts them; what they find is already in the
    // replayed force.
    for (const Mount& m : mounts) {
        dVector3 at;
        dBodyGetRelPointPos(body, m.x, 0.0, m.z, at);
        dGeomRaySet(m.ray, at[0], at[1], at[2], 0.0, -1.0, 0.0);
        dContactGeom hit;
        dCollide(m.ray, reinterpret_cast<dGeomID>(groundSpace), 1, &hit, sizeof(dContactGeom));
    }
    dBodyAddForce(body, push.force[0], push.force[1], push.force[2]);
    dBodyAddTorque(body, push.torque[0], push.torque[1], push.torque[2]);
    collide(staticsSpace, buildings);
    collide(groundSpace, terrain);
    dWorldStep(world, dt);
    dJointGroupEmpty(joints);
}

}  // namespace bench
