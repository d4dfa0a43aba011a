// One physics step of the real car on the sample level against the same ODE calls made by a
// bare program (bare_ode_car.h): the same body, geoms, rays, static boxes, ground plane,
// surfaces and step size, the body put each step where the game's body was before its own
// step, so both make the same contacts. The run starts at the start locator given (0 to 2 on
// the sample level; the game picks one at random), the car drives two seconds with the
// accelerator held, then the level is updated by exactly one step at a time, each followed by
// the bare program's step from the state the game's body started that step in (so the
// level's work once an update, such as its loss rules, counts in every step of the game's).
// Each figure is the median CPU time of a step. Where the level's steps spend their CPU goes
// to standard error.
//
//   physics_step_bench [steps [start]]     (default 3000 steps from start 0)
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
#include "tests/support/game_stage_probe.h"
#include "tests/support/level_probe.h"

namespace {

using bench::format;
using bench::printRow;

// The contacts the level's next step will make for the car's body with other, found as it
// finds them.
int contactsOf(CCar& car, const PhysicsSpace& other) {
    static dContactGeom found[PhysicsWorld::maxContacts];
    int count = 0;
    for (dGeomID g : car.geoms) {
        if (count < PhysicsWorld::maxContacts) {
            count +=
                dCollide(g, reinterpret_cast<dGeomID>(other.id), PhysicsWorld::maxContacts - count,
                         &found[count], sizeof(dContactGeom));
        }
    }
    return count;
}

constexpr int kMostProfileDrives = 200;
constexpr std::size_t kProfileSamples = 500;

// The time that makes the level's next update run exactly one step.
void oneStepOwed(FrameTime& time, const Level& level) {
    time.delta = 1.5 * Level::kStep - LevelProbe::owedTime(level);
    time.time += time.delta;
}

// A fresh run from the start, two seconds of it driven as the game's frames drive it.
Level& driveFrom(bench::GameSession& session, int start) {
    session.play(start);
    for (int i = 0; i < 120; ++i) {
        session.frame();
    }
    return *GameStageProbe(*session.stage()).level();
}

int run(int steps, int start) {
    bench::GameSession session(d3d9::BackendKind::Null);
    Level& level = driveFrom(session, start);
    auto* car = dynamic_cast<CCar*>(LevelProbe::vehicle(level));
    if (car == nullptr || level.getStatics() == nullptr || LevelProbe::ground(level) == nullptr) {
        std::fprintf(stderr, "the level has no real car, statics or ground\n");
        return 1;
    }
    const auto surfaces =
        kesh::theLuaConfig->runFileAs<physics::params::SCollisions>(L"physics.lua");
    bench::BareOdeCar bare(*car, *level.getStatics(), *LevelProbe::ground(level), surfaces);

    FrameTime time;
    time.time = 2.0;
    std::vector<double> game;
    std::vector<double> plain;
    long gameContacts = 0;
    long bareContacts = 0;
    for (int step = 0; step < steps; ++step) {
        gameContacts += contactsOf(*car, level.getStatics()->collisionSpace()) +
                        contactsOf(*car, *LevelProbe::ground(level)->space);
        const bench::BareOdeCar::State before = bench::BareOdeCar::State::of(car->body);
        oneStepOwed(time, level);
        const double begin = bench::threadCpuSeconds();
        level.update(time);
        const double between = bench::threadCpuSeconds();
        bare.step(before, Level::kStep);
        const double end = bench::threadCpuSeconds();
        bareContacts += bare.contacts();
        game.push_back(between - begin);
        plain.push_back(end - between);
    }
    D3DXVECTOR3 position;
    car->position(position);
    std::fprintf(stderr, "from start %d, the car ends at (%.6f, %.6f, %.6f)\n", start, position.x,
                 position.y, position.z);

    // The profile comes from drives of their own: the sampler's signal handler walks the
    // stack on the timed thread, and its CPU time would be counted as the level's. Its timer
    // on the thread's CPU clock fires about once a scheduler tick: the drives go on until
    // there are samples enough.
    bench::CpuSampler sampler;
    for (int drive = 0; drive < kMostProfileDrives && sampler.sampleCount() < kProfileSamples;
         ++drive) {
        Level& again = driveFrom(session, start);
        sampler.start();
        for (int step = 0; step < steps; ++step) {
            oneStepOwed(time, again);
            again.update(time);
        }
        sampler.stop();
    }

    const double gameStep = bench::median(game);
    const double bareStep = bench::median(plain);
    printRow("physics step, car on the level, median CPU", format("%.1f us", gameStep * 1e6), "-");
    printRow("physics step, bare ODE, median CPU", format("%.1f us", bareStep * 1e6), "-");
    printRow("physics step, game / bare", format("%.2fx", gameStep / bareStep), "<= 1.2x");
    printRow("contact joints per step, game",
             format("%.2f", static_cast<double>(gameContacts) / steps), "-");
    printRow("contact joints per step, bare ODE",
             format("%.2f", static_cast<double>(bareContacts) / steps), "= game");

    const double sampled = std::max(sampler.sampledSeconds(), 1e-9);
    std::fprintf(stderr, "the level's steps, %zu samples:\n", sampler.sampleCount());
    for (const auto& part : sampler.attribute(
             {"dWorldStep", "dCollide", "dJointCreateContact",
              "AudioSystem::", "C4X4WheelJeepController::step(", "CCar::update(",
              "PhysicsWorld::", "InsideCamera::", "OutsideCamera::", "Level::update("})) {
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
    return run(argc > 1 ? std::max(10, std::atoi(argv[1])) : 3000,
               argc > 2 ? std::atoi(argv[2]) : 0);
}
