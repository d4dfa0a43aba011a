// One physics step of the real car on the sample level against a bare ODE program with the
// same body, geoms, rays, static boxes, ground plane, surfaces and step size (bare_ode_car.h).
// The car has driven two seconds with the accelerator held before either is timed; the
// level is updated by ten and a half steps' worth of time, which is exactly ten steps, the
// bare program runs ten steps; the two alternate, and each figure is the median CPU time of
// a step. Where the level's steps spend their CPU goes to standard error.
//
//   physics_step_bench [rounds]     (default 300 rounds of ten steps each)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bare_ode_car.h"
#include "bench_figures.h"
#include "cpu_sampler.h"
#include "engine/core/lua/lua_config.h"
#include "game/vehicle/car/car.h"
#include "game/world/level/level.h"
#include "game_session.h"

namespace {

using bench::format;
using bench::printRow;

constexpr int kStepsPerRound = 10;

// The contacts the level's next step will make for the car's body with other, found as it
// finds them.
int contactsOf(CCar& car, const PhysicsSpace& other) {
    static dContactGeom found[PhysicsWorld::maxContacts];
    int count = 0;
    {
        for (dGeomID g : car.geoms) {
            if (count < PhysicsWorld::maxContacts) {
                count += dCollide(g, reinterpret_cast<dGeomID>(other.id),
                                  PhysicsWorld::maxContacts - count, &found[count],
                                  sizeof(dContactGeom));
            }
        }
    }
    return count;
}

int run(int rounds) {
    bench::GameSession session(d3d9::BackendKind::Null);
    session.play();
    for (int i = 0; i < 120; ++i) {
        session.frame();
    }
    Level& level = *session.stage()->currentLevel();
    auto* car = dynamic_cast<CCar*>(level.vehicle());
    if (car == nullptr || level.getStatics() == nullptr || level.ground() == nullptr) {
        std::fprintf(stderr, "the level has no real car, statics or ground\n");
        return 1;
    }
    D3DXVECTOR3 velocity;
    car->velocity(velocity);
    const float cruise = std::max(5.0f, D3DXVec3Length(&velocity));
    const auto surfaces =
        kesh::theLuaConfig->runFileAs<physics::params::SCollisions>(L"physics.lua");
    bench::BareOdeCar bare(*car, level.getStatics()->collisionSpace(), *level.ground(), surfaces,
                           cruise);

    FrameTime time;
    time.time = 2.0;
    time.delta = (kStepsPerRound + 0.5) * Level::kStep;
    std::vector<double> game;
    std::vector<double> plain;
    long bareContacts = 0;
    long wallContacts = 0;
    long groundContacts = 0;
    for (int round = 0; round < rounds; ++round) {
        wallContacts += contactsOf(*car, level.getStatics()->collisionSpace());
        groundContacts += contactsOf(*car, *level.ground()->space);
        const double start = bench::threadCpuSeconds();
        level.update(time);
        const double between = bench::threadCpuSeconds();
        for (int s = 0; s < kStepsPerRound; ++s) {
            bare.step(Level::kStep);
            bareContacts += bare.contacts();
        }
        const double end = bench::threadCpuSeconds();
        game.push_back((between - start) / kStepsPerRound);
        plain.push_back((end - between) / kStepsPerRound);
        time.time += time.delta;
    }
    // The profile comes from rounds of their own: the sampler's signal handler walks the
    // stack on the timed thread, and its CPU time would be counted as the level's.
    bench::CpuSampler sampler;
    for (int round = 0; round < rounds; ++round) {
        sampler.start();
        level.update(time);
        sampler.stop();
        time.time += time.delta;
    }

    const double gameStep = bench::median(game);
    const double bareStep = bench::median(plain);
    printRow("physics step, car on the level, median CPU", format("%.1f us", gameStep * 1e6), "-");
    printRow("physics step, bare ODE, median CPU", format("%.1f us", bareStep * 1e6), "-");
    printRow("physics step, game / bare", format("%.2fx", gameStep / bareStep), "<= 1.3x");
    printRow("game: body contacts with statics, a round's first step",
             format("%.2f", static_cast<double>(wallContacts) / rounds), "-");
    printRow("game: body contacts with the ground, a round's first step",
             format("%.2f", static_cast<double>(groundContacts) / rounds), "-");
    printRow("bare ODE contact joints per step",
             format("%.2f", static_cast<double>(bareContacts) / (rounds * kStepsPerRound)), "-");

    D3DXVECTOR3 position;
    car->position(position);
    const dReal* barePosition = bare.position();
    std::fprintf(stderr, "car at (%.1f, %.2f, %.1f), the bare body at (%.1f, %.2f, %.1f)\n",
                 position.x, position.y, position.z, barePosition[0], barePosition[1],
                 barePosition[2]);
    const double sampled = std::max(sampler.sampledSeconds(), 1e-9);
    std::fprintf(stderr, "the level's steps, %zu samples:\n", sampler.sampleCount());
    for (const auto& part :
         sampler.attribute({"dWorldStep", "dCollide", "dJointCreateContact",
                            "AudioSystem::", "C4X4WheelJeepController::step(", "CCar::update(",
                            "CarCamera", "OutsideCamera::", "Level::update("})) {
        std::fprintf(stderr, "  %5.1f %%  under %s\n", 100.0 * part.seconds / sampled,
                     part.name.c_str());
    }
    for (const auto& f : sampler.topFunctions(12)) {
        std::fprintf(stderr, "  %5.1f %%  in %s\n", 100.0 * f.seconds / sampled, f.name.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return run(argc > 1 ? std::max(10, std::atoi(argv[1])) : 300);
}
