// The game object over the generated art folder, on the shared fixture's null device and
// window (the game publishes the services itself), with the performance counter in the
// test's hands (one tick a millisecond) and sleeps recorded. TestGame can swap the real
// stages for FakeStages that write what happens to them into one shared record.
#pragma once

#include <d3d9/seams.h>
#include <gtest/gtest.h>
#include <win32/seams.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/strings.h"
#include "game/app/game.h"
#include "tests/support/game_probe.h"
#include "tests/support/services_fixture.h"

namespace game_testing {

using Record = std::vector<std::string>;

class FakeStage : public Stage {
public:
    // The key whose handler fails.
    static constexpr int kFailingKey = 'X';

    FakeStage(StageId id, StageId next, Record& record, IDirect3DDevice9* device)
        : number(static_cast<int>(id)), next(next), record(record), device(device) {
        note("built");
    }
    ~FakeStage() override { note("gone"); }

    void onMouseMove(int x, int y) override {
        note("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void onMouseWheel(int delta) override { note("wheel " + std::to_string(delta)); }
    void onMouseButton(int button, bool down) override {
        note("button " + std::to_string(button) + (down ? " down" : " up"));
    }
    void update() override {
        const d3d9::DeviceRecord* scenes = d3d9::deviceRecord(device);
        const bool inScene = scenes != nullptr && scenes->beginScenes == scenes->endScenes + 1;
        note(inScene ? "update in scene" : "update outside a scene");
    }
    StageId nextStage() override {
        note("next");
        return next;
    }
    void onKey(int key) override {
        note("key " + std::to_string(key));
        if (key == kFailingKey) {
            throw std::runtime_error("key handler failed");
        }
    }

    const int number;
    StageId next;

private:
    void note(const std::string& what) { record.push_back(std::to_string(number) + " " + what); }

    Record& record;
    IDirect3DDevice9* device;
};

class TestGame : public Game {
public:
    using Game::Game;

    // Stages built from here on are fakes asking for nextOf[id]; kNoStage builds none.
    static constexpr StageId kNoStage = StageId{9};
    bool fakes = false;
    StageId nextOf[10] = {};
    Record* record = nullptr;  // outlives the game: its stages write into it to the end
    IDirect3DDevice9* device = nullptr;

protected:
    std::unique_ptr<Stage> buildStage(StageId id) override {
        if (!fakes) {
            return Game::buildStage(id);
        }
        const int number = static_cast<int>(id);
        record->push_back("build " + std::to_string(number));
        if (id == kNoStage) {
            return nullptr;
        }
        return std::make_unique<FakeStage>(id, nextOf[number], *record, device);
    }
};

class GameTest : public morvale_testing::ServicesTest {
protected:
    explicit GameTest(morvale_testing::DeviceKind kind = morvale_testing::DeviceKind::Null,
                      int width = 320, int height = 240)
        : ServicesTest(kind, width, height) {
        publishesServices = false;
        // The game's art, for the Lua state too: its scripts read only from that folder.
        useArtFolder(MORVALE_TEST_ART_DIR);
    }

    void SetUp() override {
        // The game empties the binder registry; the next test's game needs it again.
        savedBinders = kesh::LuaBinderRegistry::instance();
        previousSource = win32::setPerformanceCounterSource([this] { return now; });
        previousFrequency = win32::setPerformanceFrequency(1000);
        previousSleep = win32::setSleepRecorder([this](DWORD ms) { sleeps.push_back(ms); });
        ServicesTest::SetUp();
    }
    void TearDown() override {
        game.reset();
        ServicesTest::TearDown();
        win32::setSleepRecorder(previousSleep);
        win32::setPerformanceFrequency(previousFrequency);
        win32::setPerformanceCounterSource(previousSource);
        kesh::LuaBinderRegistry::instance() = savedBinders;
    }

    static std::wstring gameArt() { return kesh::toWide(MORVALE_TEST_ART_DIR); }

    TestGame& start(const GameOptions& options = GameOptions()) {
        game = std::make_unique<TestGame>(dx.get(), lua.get(), window, options, gameArt());
        game->device = device;
        game->record = &record;
        return *game;
    }

    // From here on the game builds fakes; the current stage becomes fake stage `id`.
    void useFakes(StageId id, StageId next = StageId::None) {
        game->fakes = true;
        game->nextOf[static_cast<int>(id)] = next;
        game->activateStage(id);
        record.clear();
    }

    GameProbe probe() const { return GameProbe(*game); }

    d3d9::DeviceRecord& scenes() { return *d3d9::deviceRecord(device); }

    LONGLONG now = 0;
    std::vector<DWORD> sleeps;
    Record record;
    std::unique_ptr<TestGame> game;

private:
    std::vector<kesh::LuaBinderEntry> savedBinders;
    win32::CounterSource previousSource;
    LONGLONG previousFrequency = 0;
    win32::SleepRecorder previousSleep;
};

}  // namespace game_testing
