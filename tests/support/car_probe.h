// The way into the car's own state for its tests and the physics benchmark: the wheels'
// mounts and space, the meshes, the skid measures, the tracks and the lamps.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "game/vehicle/car/car.h"

struct CarProbe {
    static const std::vector<D3DXVECTOR3>& mounts(const CCar& car) { return car.mounts; }
    static const CWheel& wheel(const CCar& car, std::size_t i) { return *car.wheels[i]; }
    // The one there before goes.
    static void replaceWheel(CCar& car, std::size_t i, std::unique_ptr<CWheel> wheel) {
        car.wheels[i] = std::move(wheel);
    }
    static PhysicsSpace* wheelSpace(const CCar& car) { return car.wheelSpace.get(); }
    static const kesh::Mesh* bodyMesh(const CCar& car) { return car.bodyMesh.get(); }
    static const kesh::Mesh* antennaMesh(const CCar& car) { return car.antennaMesh.get(); }
    static float attachment(const CCar& car) { return car.attachment; }
    static float& yawMeasure(CCar& car) { return car.yawMeasure; }
    static float& lateralSum(CCar& car) { return car.lateralSum; }
    static float& averageSlip(CCar& car) { return car.averageSlip; }
    static float slipSum(const CCar& car) { return car.slipSum; }
    static Tracks& tracks(CCar& car) { return *car.tracks; }
    static kesh::effect::EffectHandle& lampEffect(CCar& car, int i) { return car.lampEffects[i]; }
};
