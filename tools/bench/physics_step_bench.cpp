// One physics step of the real car on the sample level against the same ODE calls made by a
// bare program (bare_ode_car.h): the same body, geoms, rays, static boxes, ground plane,
// surfaces and step size, the body put each step where the game's body was before its own
// step and pushed by the force and torque the game's body carried into its solve, so both
// make the same contacts and solve the same problem. A run starts at a start locator (0 to 2
// on the sample level; the game picks one at random), the car drives two seconds with the
// accelerator held, then the level is updated by exactly one step at a time (so the level's
// work once an update, such as its loss rules, counts in every step of the game's). Each
// step is timed on both sides, back to back: in the first run the game's step first, each
// step recording what the bare side replays; in the next run, a fresh drive of the same
// path, the bare side first; and so on alternately. Contacts are counted by what each side
// keeps anyway, read outside the timed region. Each figure is the median CPU time of a step
// over all runs; the ratio of each start gets a row. Where the level's steps spend their CPU
// (from the first start) goes to standard error.
//
//   physics_step_bench [steps [start]]     (default 3000 steps from each of starts 0 to 2)
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

// What the game's body carried into the solve of the step being timed, kept by the world's
// hook: the bench's one way in while the level steps.
struct Solve {
    dBodyID body = nullptr;
    bench::BareOdeCar::Push push{};
    int contacts = 0;
};
Solve solve;

void keepSolve(const PhysicsWorld& world) {
    solve.push = bench::BareOdeCar::Push::of(solve.body);
    solve.contacts = world.collisionCount();
}

// One step of the game's, recorded for the bare side.
struct Recorded {
    bench::BareOdeCar::State before;
    bench::BareOdeCar::Push push;
};

constexpr int kRuns = 4;  // alternately game first and bare first
constexpr int kStarts = 3;

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

struct Figures {
    std::vector<double> game;
    std::vector<double> bare;
    long gameContacts = 0;
    long bareContacts = 0;
};

// One run from start: each step of the game's timed beside the bare side's replay of it.
// Game first, it records what the bare side replays; bare first, it replays the record.
void timeRun(bench::GameSession& session, int start, int steps, bool gameFirst,
             std::vector<Recorded>& record, Figures& figures) {
    Level& level = driveFrom(session, start);
    auto* car = dynamic_cast<CCar*>(LevelProbe::vehicle(level));
    static const auto surfaces =
        kesh::theLuaConfig->runFileAs<physics::params::SCollisions>(L"physics.lua");
    bench::BareOdeCar bare(*car, *level.getStatics(), *LevelProbe::ground(level), surfaces);
    solve.body = car->body;
    PhysicsWorld::beforeSolve = keepSolve;
    FrameTime time;
    time.time = 2.0;
    record.resize(static_cast<std::size_t>(steps));
    for (int step = 0; step < steps; ++step) {
        Recorded& recorded = record[static_cast<std::size_t>(step)];
        if (gameFirst) {
            recorded.before = bench::BareOdeCar::State::of(car->body);
        }
        oneStepOwed(time, level);
        double game = 0.0;
        double plain = 0.0;
        if (gameFirst) {
            const double begin = bench::threadCpuSeconds();
            level.update(time);
            const double between = bench::threadCpuSeconds();
            recorded.push = solve.push;
            bare.step(recorded.before, recorded.push, Level::kStep);
            const double end = bench::threadCpuSeconds();
            game = between - begin;
            plain = end - between;
        } else {
            const double begin = bench::threadCpuSeconds();
            bare.step(recorded.before, recorded.push, Level::kStep);
            const double between = bench::threadCpuSeconds();
            level.update(time);
            const double end = bench::threadCpuSeconds();
            plain = between - begin;
            game = end - between;
        }
        figures.game.push_back(game);
        figures.bare.push_back(plain);
        figures.gameContacts += solve.contacts;
        figures.bareContacts += bare.contacts();
    }
    PhysicsWorld::beforeSolve = nullptr;
    D3DXVECTOR3 position;
    car->position(position);
    std::fprintf(stderr, "from start %d, %s first, the car ends at (%.6f, %.6f, %.6f)\n", start,
                 gameFirst ? "game" : "bare", position.x, position.y, position.z);
}

bool levelReady(bench::GameSession& session, int start) {
    Level& level = driveFrom(session, start);
    return dynamic_cast<CCar*>(LevelProbe::vehicle(level)) != nullptr &&
           level.getStatics() != nullptr && LevelProbe::ground(level) != nullptr;
}

void timeStart(bench::GameSession& session, int start, int steps) {
    std::vector<Recorded> record;
    Figures figures;
    std::vector<double> ratios[2];
    for (int r = 0; r < kRuns; ++r) {
        Figures run;
        timeRun(session, start, steps, r % 2 == 0, record, run);
        ratios[r % 2].push_back(bench::median(run.game) / bench::median(run.bare));
        figures.game.insert(figures.game.end(), run.game.begin(), run.game.end());
        figures.bare.insert(figures.bare.end(), run.bare.begin(), run.bare.end());
        figures.gameContacts += run.gameContacts;
        figures.bareContacts += run.bareContacts;
    }
    std::fprintf(stderr, "start %d, game / bare by run, game first:", start);
    for (double ratio : ratios[0]) {
        std::fprintf(stderr, " %.2fx", ratio);
    }
    std::fprintf(stderr, "; bare first:");
    for (double ratio : ratios[1]) {
        std::fprintf(stderr, " %.2fx", ratio);
    }
    std::fprintf(stderr, "\n");
    const double gameStep = bench::median(figures.game);
    const double bareStep = bench::median(figures.bare);
    const std::string of = ", start " + std::to_string(start);
    printRow("physics step, car on the level, CPU" + of, format("%.1f us", gameStep * 1e6), "-");
    printRow("physics step, bare ODE, CPU" + of, format("%.1f us", bareStep * 1e6), "-");
    printRow("physics step, game / bare" + of, format("%.2fx", gameStep / bareStep),
             start == 0 ? "<= 1.2x" : "-");
    const double samples = static_cast<double>(figures.game.size());
    printRow("contact joints per step, game" + of,
             format("%.2f", static_cast<double>(figures.gameContacts) / samples), "-");
    printRow("contact joints per step, bare ODE" + of,
             format("%.2f", static_cast<double>(figures.bareContacts) / samples), "= game");
}

void profile(bench::GameSession& session, int start, int steps) {
    // The profile comes from drives of their own: the sampler's signal handler walks the
    // stack on the timed thread, and its CPU time would be counted as the level's. Its timer
    // on the thread's CPU clock fires about once a scheduler tick: the drives go on until
    // there are samples enough.
    FrameTime time;
    time.time = 2.0;
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
}

int run(int steps, int first, int last) {
    bench::GameSession session(d3d9::BackendKind::Null);
    for (int start = first; start <= last; ++start) {
        if (!levelReady(session, start)) {
            std::fprintf(stderr, "the level has no real car, statics or ground\n");
            return 1;
        }
        timeStart(session, start, steps);
    }
    profile(session, first, steps);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 ? std::max(10, std::atoi(argv[1])) : 3000;
    if (argc > 2) {
        const int start = std::atoi(argv[2]);
        return run(steps, start, start);
    }
    return run(steps, 0, kStarts - 1);
}
