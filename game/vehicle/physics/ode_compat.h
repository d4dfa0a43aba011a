// ODE as the vehicle code uses it. The physics layer was designed against an older ODE whose
// names, geom class numbers and record sizes have since changed; every such difference is
// settled here so that no other file needs to know about it.
#pragma once

#include <ode/ode.h>

#include <cstddef>

namespace ode_compat {

// Geom classes by name: the numbers moved between releases (a convex class now sits before
// the geom transform), so code never compares against literal class numbers.
constexpr int sphereClass = dSphereClass;
constexpr int boxClass = dBoxClass;
constexpr int cappedCylinderClass = dCapsuleClass;  // the old capped cylinder is the capsule
constexpr int cylinderClass = dCylinderClass;
constexpr int planeClass = dPlaneClass;
constexpr int rayClass = dRayClass;
constexpr int geomTransformClass = dGeomTransformClass;
constexpr int triMeshClass = dTriMeshClass;

// The stride dCollide expects between contact records. The record grew with double
// precision, so it is always taken from the type.
constexpr int contactStride = static_cast<int>(sizeof(dContactGeom));

// Initialises ODE for this process on the first call (every collision needs it) and closes it
// at exit. Called by the physics layer before it creates its first world, space or geom.
void initialise();

// Capped cylinders: today's capsules, with the same parameters.
inline dGeomID createCCylinder(dSpaceID space, dReal radius, dReal length) {
    return dCreateCapsule(space, radius, length);
}
inline void geomCCylinderGetParams(dGeomID g, dReal* radius, dReal* length) {
    dGeomCapsuleGetParams(g, radius, length);
}
inline void massSetCappedCylinderTotal(dMass* m, dReal total, int direction, dReal radius,
                                       dReal length) {
    dMassSetCapsuleTotal(m, total, direction, radius, length);
}

// Geom transforms still work but are marked deprecated; they remain the way an object places
// a geom off its body's origin, so the warning is silenced here and only here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
inline dGeomID createGeomTransform(dSpaceID space) {
    return dCreateGeomTransform(space);
}
inline void geomTransformSetGeom(dGeomID transform, dGeomID inner) {
    dGeomTransformSetGeom(transform, inner);
}
inline dGeomID geomTransformGetGeom(dGeomID transform) {
    return dGeomTransformGetGeom(transform);
}
inline void geomTransformSetCleanup(dGeomID transform, int mode) {
    dGeomTransformSetCleanup(transform, mode);
}
inline void geomTransformSetInfo(dGeomID transform, int mode) {
    dGeomTransformSetInfo(transform, mode);
}
#pragma GCC diagnostic pop

}  // namespace ode_compat
