// Raw joystick values to the action format's range, with the device's dead zone.
#pragma once

#include <dinput.h>

#include "core/backend.h"

namespace dinput8 {

struct AxisRange {
    LONG min = -100;
    LONG max = 100;
    DWORD deadZone = 0;  // 0..10000 of the travel
};

// A centred axis: the raw range's ends read min and max, its middle (min + max) / 2; the
// travel outside the dead zone is stretched so that full deflection still reads the ends.
LONG scaleCentred(const RawValue& raw, const AxisRange& range);

// A pedal resting at rest: released reads the value nearest 0 inside the range, fully
// pressed (the raw end farther from rest) reads min, whichever end the pedal rests at.
LONG scalePedal(const RawValue& raw, int rest, const AxisRange& range);

// What an object reads while nothing touches it.
LONG restingValue(ObjectKind kind, const AxisRange& range);

}  // namespace dinput8
