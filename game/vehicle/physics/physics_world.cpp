#include "game/vehicle/physics/physics_world.h"

#include <d3dx9math.h>

#include "game/vehicle/physics/physics_object.h"
#include "game/vehicle/physics/physics_space.h"

void (*PhysicsWorld::beforeSolve)(const PhysicsWorld&) = nullptr;

PhysicsWorld::PhysicsWorld()
    : world(nullptr),
      contactGroup(nullptr),
      contacts(),
      feedback(),
      feedbackOwner(),
      impulse(),
      impulseOwner(),
      impulseOwnerCount(0),
      jointCount(0),
      feedbackCount(0),
      contactCount(0) {
    ode_compat::initialise();
    world = dWorldCreate();
    dWorldSetGravity(world, 0.0, -98.1, 0.0);
    contactGroup = dJointGroupCreate(0);
}

PhysicsWorld::~PhysicsWorld() {
    dJointGroupDestroy(contactGroup);
    dWorldDestroy(world);
}

void PhysicsWorld::gatherContacts(PhysicsObject& object, const PhysicsSpace& other) {
    contactCount = 0;
    if (!other.id) {
        return;
    }
    const dGeomID otherGeom = reinterpret_cast<dGeomID>(other.id);
    for (dGeomID g : object.geoms) {
        // ODE aborts when asked for no contacts at all, so a full table ends the gather.
        if (!g || contactCount >= maxContacts) {
            break;
        }
        contactCount += dCollide(g, otherGeom, maxContacts - contactCount, &contacts[contactCount],
                                 ode_compat::contactStride);
    }
}

void PhysicsWorld::collide(PhysicsObject& object, const PhysicsSpace& other,
                           const physics::params::SPhysicalSurface& surface) {
    gatherContacts(object, other);
    for (int i = 0; i < contactCount; ++i) {
        const std::int32_t k = addContactJoint(contacts[i], surface, object.feedback);
        if (k >= 0) {
            feedbackOwner[k] = &object;
        }
    }
}

namespace {

// The first friction direction taken from a geom's orientation: the vector part of its
// quaternion, mirrored in y. ODE needs it to be a unit vector in the contact plane (a part
// along the normal leaves a friction direction the contact cannot use, and a zero vector drops
// friction altogether), so only its part across the normal is kept. Returns false when no
// direction remains; ODE then chooses the friction directions itself.
bool frictionDirectionOf(dGeomID g, const dVector3 normal, dVector3 out) {
    dQuaternion q;
    dGeomGetQuaternion(g, q);
    const D3DXVECTOR3 axis(static_cast<float>(q[1]), static_cast<float>(-q[2]),
                           static_cast<float>(q[3]));
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &axis);
    const D3DXVECTOR3 n(static_cast<float>(normal[0]), static_cast<float>(normal[1]),
                        static_cast<float>(normal[2]));
    const D3DXVECTOR3 across = direction - D3DXVec3Dot(&direction, &n) * n;
    if (D3DXVec3Length(&across) < 1e-4f) {
        return false;
    }
    D3DXVec3Normalize(&direction, &across);
    out[0] = direction.x;
    out[1] = direction.y;
    out[2] = direction.z;
    return true;
}

}  // namespace

std::int32_t PhysicsWorld::addContactJoint(const dContactGeom& contact,
                                           const physics::params::SPhysicalSurface& surface,
                                           bool withFeedback) {
    dContact joint = {};
    joint.surface = surface.getSurfaceParameters();
    // The surface's flags reach the contact, so that the bounce and soft ERP/CFM values a
    // script sets take effect.
    joint.geom = contact;
    joint.geom.depth *= surface.contact_dampener;
    if (surface.orient_friction) {
        dGeomID oriented = nullptr;
        if (canOrientFriction(contact.g1)) {
            oriented = contact.g1;
        } else if (canOrientFriction(contact.g2)) {
            oriented = contact.g2;
        }
        if (oriented && frictionDirectionOf(oriented, contact.normal, joint.fdir1)) {
            joint.surface.mode |= dContactFDir1;
        }
    }

    const dJointID id = dJointCreateContact(world, contactGroup, &joint);
    ++jointCount;
    std::int32_t record = -1;
    if (withFeedback && feedbackCount < maxFeedback) {
        record = feedbackCount++;
        feedbackOwner[record] = nullptr;  // collide names the owner
        dJointSetFeedback(id, &feedback[record]);
    }
    dJointAttach(id, dGeomGetBody(contact.g1), dGeomGetBody(contact.g2));
    return record;
}

bool PhysicsWorld::canOrientFriction(dGeomID g) {
    if (!g) {
        return false;
    }
    int geomClass = dGeomGetClass(g);
    if (geomClass == ode_compat::geomTransformClass) {
        const dGeomID inner = ode_compat::geomTransformGetGeom(g);
        if (!inner) {
            return false;
        }
        geomClass = dGeomGetClass(inner);
    }
    switch (geomClass) {
        case ode_compat::sphereClass:
        case ode_compat::boxClass:
        case ode_compat::cappedCylinderClass:
        case ode_compat::cylinderClass:
        case ode_compat::rayClass:
        case ode_compat::triMeshClass:
            return true;
        default:
            return false;
    }
}

void PhysicsWorld::step(float dt) {
    if (beforeSolve != nullptr) {
        beforeSolve(*this);
    }
    dWorldStep(world, dt);

    impulseOwnerCount = 0;
    for (int i = 0; i < feedbackCount; ++i) {
        PhysicsObject* owner = feedbackOwner[i];
        int entry = 0;
        while (entry < impulseOwnerCount && impulseOwner[entry] != owner) {
            ++entry;
        }
        if (entry == impulseOwnerCount) {
            impulseOwner[entry] = owner;
            impulse[entry][0] = impulse[entry][1] = impulse[entry][2] = 0.0f;
            ++impulseOwnerCount;
        }
        for (int axis = 0; axis < 3; ++axis) {
            impulse[entry][axis] += static_cast<float>(dt * feedback[i].f1[axis]);
        }
    }

    dJointGroupEmpty(contactGroup);
    jointCount = 0;
    feedbackCount = 0;
}

void PhysicsWorld::impulseOf(float out[3], const PhysicsObject* object) const {
    for (int entry = 0; entry < impulseOwnerCount; ++entry) {
        if (impulseOwner[entry] == object) {
            out[0] = impulse[entry][0];
            out[1] = impulse[entry][1];
            out[2] = impulse[entry][2];
            return;
        }
    }
    out[0] = out[1] = out[2] = 0.0f;
}
