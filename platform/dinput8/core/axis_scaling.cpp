#include "core/axis_scaling.h"

#include <algorithm>
#include <cmath>

namespace dinput8 {

namespace {

// The dead zone removed from a travel of 0..1, the rest stretched back to 0..1.
double outsideDeadZone(double travel, DWORD deadZone) {
    const double zone = std::min(deadZone, 10000u) / 10000.0;
    if (travel <= zone) {
        return 0.0;
    }
    if (zone >= 1.0) {
        return 0.0;
    }
    return std::min(1.0, (travel - zone) / (1.0 - zone));
}

LONG released(const AxisRange& range) {
    return std::clamp<LONG>(0, range.min, range.max);
}

}  // namespace

LONG scaleCentred(const RawValue& raw, const AxisRange& range) {
    const double centre = (static_cast<double>(raw.min) + raw.max) / 2.0;
    const double half = (static_cast<double>(raw.max) - raw.min) / 2.0;
    if (half <= 0.0) {
        return restingValue(ObjectKind::Axis, range);
    }
    const double deflection = std::clamp((raw.value - centre) / half, -1.0, 1.0);
    const double x =
        std::copysign(outsideDeadZone(std::fabs(deflection), range.deadZone), deflection);
    const double outCentre = (static_cast<double>(range.min) + range.max) / 2.0;
    const double outHalf = (static_cast<double>(range.max) - range.min) / 2.0;
    return static_cast<LONG>(std::lround(outCentre + x * outHalf));
}

LONG scalePedal(const RawValue& raw, int rest, const AxisRange& range) {
    const double middle = (static_cast<double>(raw.min) + raw.max) / 2.0;
    const int pressedEnd = rest >= middle ? raw.min : raw.max;
    const double travel = static_cast<double>(pressedEnd) - rest;
    const LONG releasedValue = released(range);
    if (travel == 0.0) {
        return releasedValue;
    }
    const double pressed =
        outsideDeadZone(std::clamp((raw.value - rest) / travel, 0.0, 1.0), range.deadZone);
    return static_cast<LONG>(std::lround(releasedValue + pressed * (range.min - releasedValue)));
}

LONG restingValue(ObjectKind kind, const AxisRange& range) {
    switch (kind) {
        case ObjectKind::Axis:
            return static_cast<LONG>(
                std::lround((static_cast<double>(range.min) + range.max) / 2.0));
        case ObjectKind::Pedal:
            return released(range);
        case ObjectKind::Button:
        case ObjectKind::RelativeAxis:
            break;
    }
    return 0;
}

}  // namespace dinput8
