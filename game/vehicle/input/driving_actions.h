// The game's driving actions as DirectInput action mapping sees them: the uAppData each
// action's events carry, the action table and the program's own action-map identity.
#pragma once

#include <dinput.h>

#include <cstddef>

// uAppData of the driving actions: what an event of the action changes.
enum DrivingAction : UINT_PTR {
    kActionSteer = 0,           // a device's steering axis
    kActionMouseSteer = 1,      // relative mouse steering
    kActionTurnLeft = 2,        // key
    kActionTurnRight = 3,       // key
    kActionAccelerateAxis = 4,  // accelerator pedal or combined axis: accelerate = -v
    kActionDecelerateAxis = 6,  // brake pedal: accelerate = v
    kActionAccelerateKey = 7,   // key or mouse button
    kActionDecelerateKey = 8,   // key or mouse button
    kActionBrake = 9,           // the handbrake: key, mouse or controller button
};

constexpr std::size_t kDrivingActionCount = 14;

// The same identity in every run, so DirectInput can keep the player's mapping.
extern const GUID kDrivingActionMapGuid;

// The table of driving actions, in order, with their names; not yet mapped.
void fillDrivingActions(DIACTIONW (&actions)[kDrivingActionCount]);

// The action format over the given table (which must outlive every use of the format):
// genre DIVIRTUAL_DRIVING_RACE, 16 buffered events a device, axes -100..100, named
// "Morvale".
DIACTIONFORMATW makeDrivingActionFormat(DIACTIONW (&actions)[kDrivingActionCount]);
