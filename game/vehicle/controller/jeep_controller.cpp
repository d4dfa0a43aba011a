#include "game/vehicle/controller/jeep_controller.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/audio/audio_system.h"
#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/input/input_system.h"

namespace {

constexpr float kLowestAttachment = 0.3f;
constexpr float kDetachMargin = 10.0f;
constexpr float kReverseDelay = 0.1f;
constexpr float kRollOutPerSecond = 0.1f;
constexpr float kSkidBrakePerSecond = 0.2f;
constexpr float kLetGo = 0.05f;
constexpr float kReturnRate = 0.7f;
constexpr float kHalfPi = static_cast<float>(D3DX_PI) * 0.5f;
// Differs from every volume, itself included.
constexpr float kNotSent = std::numeric_limits<float>::quiet_NaN();

float signOf(float v) {
    return v >= 0.0f ? 1.0f : -1.0f;
}

float lengthOf(const float v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

float finiteOr0(double v) {
    return std::isfinite(v) ? static_cast<float>(v) : 0.0f;
}

}  // namespace

const char* const C4X4WheelJeepController::kEngineSoundNames[kEngineSounds] = {
    "carEngineNo", "carEngineLo", "carEngine", "carEngineHi"};

C4X4WheelJeepController::C4X4WheelJeepController(AudioSystem* audioUsed)
    : response(0.0f),
      attachmentFactor(1.0f),
      driven(nullptr),
      input(nullptr),
      speed(0.0f),
      steeringValue(0.0f),
      reverseTimer(0.0f),
      direction(1),
      throttle(0.0f),
      brake(0.0f),
      steeringInput(0.0f),
      handbrake(false),
      audio(audioUsed),
      volumes{0.0f, 0.0f, 0.0f, 0.0f},
      engineSounds{nullptr, nullptr, nullptr, nullptr},
      sentVolumes{kNotSent, kNotSent, kNotSent, kNotSent} {}

void C4X4WheelJeepController::setParams(const car::params::SCarController& params) {
    tuning = params;
}

void C4X4WheelJeepController::step(float dt) {
    if (driven == nullptr) {
        return;
    }
    float impulse[3];
    driven->getCollisionImpulse(impulse);
    const float impulseLength = lengthOf(impulse);

    detach(impulseLength, dt);
    loseToCollision(impulseLength);
    readInput(dt);
    if (driven->isSkidding()) {
        brake += dt * kSkidBrakePerSecond;
    }
    integrateEngine(dt);
    driveWheels();
    rollOut(dt);
    switchGear(dt);
    setEngineSounds();
    attachmentFactor = std::min(attachmentFactor + dt * tuning.time_to_reattach, 1.0f);
}

void C4X4WheelJeepController::detach(float impulseLength, float dt) {
    const float rate = impulseLength / dt;
    const float start = tuning.collision_start_detach;
    if (!(start + kDetachMargin < rate)) {
        return;
    }
    const float span = tuning.collision_breakpoint - start;
    // Without a span between the two thresholds any detaching hit loses all it can.
    float x = kLowestAttachment;
    if (span > 0.0f) {
        const float c = std::min(rate, tuning.collision_breakpoint);
        x = 1.0f - (c - start) / span;
    }
    attachmentFactor = std::max(std::min(attachmentFactor, x), kLowestAttachment);
    driven->setAttachment(attachmentFactor);
}

void C4X4WheelJeepController::loseToCollision(float impulseLength) {
    if (!driven->isStable()) {
        speed *= 1.0f - tuning.force_feedback;
    } else if (std::fabs(speed) > 1.0f) {
        const float s = signOf(speed);
        const float n = speed - s * tuning.force_feedback * impulseLength;
        speed = n * s < 0.0f ? 0.0f : n;
    }
}

void C4X4WheelJeepController::integrateEngine(float dt) {
    const float d = static_cast<float>(direction);
    speed = speed + d * tuning.accel_power * throttle * dt - d * tuning.break_power * dt * brake;
    speed = d * std::fabs(speed);
    steeringValue = steeringInput;
    speed = std::clamp(speed, -0.25f * tuning.engine_power, tuning.engine_power);
}

void C4X4WheelJeepController::driveWheels() {
    response = 0.0f;
    const float k = std::clamp(1.0f - tuning.break_blocks * brake, 0.0f, 1.0f);
    for (std::int32_t i = 0; i < driven->wheelCount(); ++i) {
        CWheel* w = driven->wheel(i);
        w->setSteering(steeringValue);
        w->setDrive(i >= 2 && handbrake ? 0.0f : k * speed);
        D3DXVECTOR3 r;
        w->response(r);
        response += 0.25f * D3DXVec3Length(&r);
    }
}

void C4X4WheelJeepController::rollOut(float dt) {
    if (brake > 0.0f) {
        const float k = tuning.force_feedback * brake;
        D3DXVECTOR3 v;
        driven->velocity(v);
        speed = (1.0f - k) * speed + k * D3DXVec3Length(&v);
    } else if (std::fabs(throttle) < 0.01f) {
        speed *= 1.0f - dt * kRollOutPerSecond;
    }
}

void C4X4WheelJeepController::switchGear(float dt) {
    if (brake > 0.0f && std::fabs(speed) < 1.0f) {
        reverseTimer += dt;
    } else {
        reverseTimer = 0.0f;
    }
    if (reverseTimer > kReverseDelay) {
        direction = -direction;
        reverseTimer = 0.0f;
    }
}

void C4X4WheelJeepController::setEngineSounds() {
    const float r = tuning.engine_power > 0.0f
                        ? std::clamp(std::fabs(speed) / tuning.engine_power, 0.0f, 1.0f)
                        : 0.0f;
    volumes[0] = (0.1f - std::min(r, 0.1f)) * 10.0f;
    volumes[1] = 2.0f * std::min(r, 0.5f) + 0.4f;
    volumes[2] = 2.0f * (std::clamp(r, 0.25f, 0.75f) - 0.25f);
    volumes[3] = 2.0f * (std::clamp(r, 0.5f, 1.0f) - 0.5f);
    for (int i = 0; i < kEngineSounds; ++i) {
        volumes[i] = std::clamp(volumes[i], 0.0f, 1.0f);
    }
    if (audio == nullptr) {
        return;
    }
    findEngineSounds();
    for (int i = 0; i < kEngineSounds; ++i) {
        if (engineSounds[i] != nullptr && volumes[i] != sentVolumes[i]) {
            audio->setVolume(engineSounds[i], volumes[i]);
            sentVolumes[i] = volumes[i];
        }
    }
}

void C4X4WheelJeepController::findEngineSounds() {
    for (CSoundBase* sound : engineSounds) {
        if (sound != nullptr) {
            return;
        }
    }
    for (int i = 0; i < kEngineSounds; ++i) {
        engineSounds[i] = audio->findSound(kEngineSoundNames[i]);
    }
}

void C4X4WheelJeepController::pollInput(DrivingInput& out) {
    if (input != nullptr) {
        input->poll(out);
    }
}

void C4X4WheelJeepController::readInput(float dt) {
    DrivingInput in;
    pollInput(in);
    const float steer = std::clamp(finiteOr0(in.steering), -1.0f, 1.0f);
    // In reverse gear the pedals swap.
    const float a =
        std::clamp(finiteOr0(in.accelerate), -1.0f, 1.0f) * static_cast<float>(direction);
    if (in.accelerateAnalog) {
        throttle = a < 0.0f ? 0.0f : a;
        brake = a < 0.0f ? -a : 0.0f;
    } else if (a < 0.0f) {
        throttle = 0.0f;
        brake = approach(brake, -a, dt, 0.4f);
    } else {
        throttle = approach(throttle, a, dt, 0.3f);
        brake = 0.0f;
    }
    steeringInput = in.steeringAnalog ? steer : approach(steeringInput, steer, dt, 0.7f);
    handbrake = in.handbrake;
}

float C4X4WheelJeepController::approach(float current, float target, float dt, float time) {
    const float c = std::clamp(current, -1.0f, 1.0f);
    const bool returning = std::fabs(target) <= kLetGo;
    float rate;
    if (returning) {
        rate = -kReturnRate * signOf(c);
    } else {
        rate = target / std::fabs(target);
        if (rate * c < 0.0f) {
            rate *= 1.0f / kReturnRate;
        }
    }
    const float angle = std::clamp(std::asin(c) + rate / time * dt, -kHalfPi, kHalfPi);
    if (returning && c * angle <= 0.0f) {
        return 0.0f;
    }
    return std::sin(angle);
}
