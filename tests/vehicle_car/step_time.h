// The level's fixed physics step.
#pragma once

namespace car_testing {

constexpr float kStep = 1.0f / 90.0f;

}  // namespace car_testing
