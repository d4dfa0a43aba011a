// The play stage on the null device over the generated art folder, with a hand-placed car:
// loading, the map and pause-menu frames, the rules of play and the ambient sounds.
#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "engine/core/publish.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/gui/gui_image.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/app/hud/car_interface.h"
#include "game/app/hud/cockpit_view.h"
#include "game/app/shell/game_map.h"
#include "game/app/shell/shell_menu.h"
#include "game/audio/sound_bank.h"
#include "game/vehicle/input/input_system.h"
#include "tests/app_play/play_fixture.h"
#include "tests/win32/temp_folder.h"
#include "tools/artlib/level_writer.h"

namespace {

using namespace play_testing;

bool soundPlaying(AudioSystem& audio, const char* name) {
    CSoundBank* bank = audio.getBank();
    return bank->findCombinedSound(name)->isPlaying();
}

TEST_F(PlayTest, LoadingLeavesARunPausedUnderTheMapWithEverythingInPlace) {
    kesh::EffectManager* fixtures = kesh::theEffectManager;
    d3d9::DeviceRecord* record = d3d9::deviceRecord(device);
    record->clear();
    build();

    // The stage's own manager replaced the one published before, with the effect list read.
    ASSERT_NE(kesh::theEffectManager, nullptr);
    EXPECT_NE(kesh::theEffectManager, fixtures);
    EXPECT_GT(kesh::theEffectManager->getLibrary().size(), 0u);
    // One loading picture: cleared, drawn in a scene of its own and presented.
    ASSERT_EQ(record->clears.size(), 1u);
    EXPECT_EQ(record->clears[0].color, 0xFF202020u);
    EXPECT_EQ(record->clears[0].flags, static_cast<DWORD>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(record->beginScenes, 1);
    EXPECT_EQ(record->presents, 1);
    EXPECT_FALSE(record->draws.empty());

    EXPECT_DOUBLE_EQ(probe().input()->keySensitivity, 0.25);
    EXPECT_NE(probe().map(), nullptr);
    EXPECT_TRUE(probe().paused());
    EXPECT_TRUE(probe().insideView());
    EXPECT_TRUE(LevelProbe::insideView(*probe().level()));
    EXPECT_NE(dynamic_cast<CockpitView*>(probe().carInterface()->currentView()), nullptr);
    EXPECT_NE(probe().countdown(), nullptr);
    EXPECT_EQ(probe().picture(), nullptr);
    EXPECT_EQ(stage->nextStage(), StageId::None);
    EXPECT_EQ(probe().startCount(), now);

    const std::vector<std::string> names = {"z1", "z2",  "z3",  "z4",  "z5",  "z6",  "z7", "z8",
                                            "z9", "z10", "z11", "z12", "z13", "z14", "z15"};
    EXPECT_EQ(probe().ambientNames(), names);
    // The first ambient sound is 40 to 69 whole seconds away, drawn from the seeded clock.
    msvcrt_srand(static_cast<unsigned>(wallClock));
    EXPECT_EQ(probe().nextAmbientCount(), now + (msvcrt_rand() % 30 + 40) * kSecond);

    // The four engine sounds run from the start, silent until the car sets them.
    audio->update();
    for (const char* name : {"carEngineNo", "carEngineLo", "carEngine", "carEngineHi"}) {
        EXPECT_TRUE(soundPlaying(*audio, name)) << name;
    }
    EXPECT_TRUE(audio->getBank()->getBackground()->isPlaying());
}

TEST_F(PlayTest, TheFirstFrameShowsOnlyTheMapAndAdvancesNothing) {
    build();
    d3d9::DeviceRecord* record = d3d9::deviceRecord(device);
    record->clear();
    frame(5 * kSecond);
    EXPECT_NE(probe().map(), nullptr);
    EXPECT_EQ(controller->steps, 0);
    EXPECT_EQ(LevelProbe::owedTime(*probe().level()), 0.0);
    ASSERT_FALSE(record->draws.empty());
    for (const d3d9::RecordedDraw& draw : record->draws) {
        // Sprites only: the map's 2D items.
        EXPECT_EQ(draw.stride, 20u) << draw.textureNames[0];
    }

    // Closing the map with its button: the next frame unpauses and drops it, and still
    // draws nothing of the level.
    GameMap* map = probe().map();
    const kesh::Button* button = map->button();
    stage->onMouseMove(button->x + button->w / 2, button->y + button->h / 2);
    stage->onMouseButton(1, true);
    stage->onMouseButton(1, false);
    ASSERT_TRUE(map->done());
    frame();
    EXPECT_EQ(probe().map(), nullptr);
    EXPECT_FALSE(probe().paused());
    EXPECT_EQ(controller->steps, 0);

    // Then the level runs and draws with the rest (the process's first play frame has no
    // previous one, so time starts to count in the second).
    frame();
    record->clear();
    frame();
    EXPECT_GT(controller->steps, 0);
    bool globe = false;
    bool statics = false;
    for (const d3d9::RecordedDraw& draw : record->draws) {
        globe = globe || draw.textureNames[0].find("misc/Earth.dds") != std::string::npos;
        statics = statics || draw.textureNames[1].find("lightmaps/") != std::string::npos;
    }
    EXPECT_TRUE(globe);
    EXPECT_TRUE(statics);
}

TEST_F(PlayTest, TheInstrumentsAreDrawnOverTheSceneInBothViews) {
    buildAndPlay();
    d3d9::DeviceRecord* record = d3d9::deviceRecord(device);
    for (const bool outside : {true, false}) {
        stage->onKey('V');
        ASSERT_EQ(probe().insideView(), !outside);
        record->clear();
        frame();
        // One depth-only clear: the town before it, every instrument after it.
        const d3d9::RecordedClear* depth = nullptr;
        for (const d3d9::RecordedClear& clear : record->clears) {
            if (clear.flags == D3DCLEAR_ZBUFFER) {
                depth = &clear;
            }
        }
        ASSERT_NE(depth, nullptr) << outside;
        // Draws of the town and of the instruments, before and after the clear.
        int town[2] = {0, 0};
        int instruments[2] = {0, 0};
        for (std::size_t i = 0; i < record->draws.size(); ++i) {
            const std::string& texture = record->draws[i].textureNames[0];
            const int after = i < depth->drawsBefore ? 0 : 1;
            town[after] += texture.find("town/") != std::string::npos ? 1 : 0;
            instruments[after] += texture.find("interface/") != std::string::npos ? 1 : 0;
        }
        EXPECT_GT(town[0], 0) << outside;
        EXPECT_EQ(town[1], 0) << outside;
        EXPECT_EQ(instruments[0], 0) << outside;
        EXPECT_GT(instruments[1], 0) << outside;
    }
}

TEST_F(PlayTest, TheMapOpenedInPlayCostsOneBigDeltaBoundedToTenSteps) {
    buildAndPlay();
    frame();
    frame();
    stage->onKey('C');
    EXPECT_NE(probe().map(), nullptr);
    EXPECT_TRUE(probe().paused());
    const int before = controller->steps;
    for (int i = 0; i < 5; ++i) {
        frame(kSecond);
    }
    EXPECT_EQ(controller->steps, before);
    stage->onKey(VK_TAB);
    frame();
    EXPECT_EQ(controller->steps, before + Level::kMaxSteps);

    // The pause menu advances the previous frame in every frame: no such jump.
    stage->onKey(VK_ESCAPE);
    for (int i = 0; i < 5; ++i) {
        frame(kSecond);
    }
    stage->onKey(VK_ESCAPE);
    const int resumed = controller->steps;
    frame(kSecond / 30);
    EXPECT_LE(controller->steps - resumed, 3);
}

TEST_F(PlayTest, ARestartedRunsFirstDeltaSpansTheTimeSinceTheLastRunsLastFrame) {
    buildAndPlay();
    frame();
    frame();
    stage.reset();
    now += 5 * kSecond;
    buildAndPlay();
    EXPECT_EQ(controller->steps, 0);
    frame();
    EXPECT_EQ(controller->steps, Level::kMaxSteps);
}

TEST_F(PlayTest, ACarTenUnitsFromTheTargetHasNotWonJustInsideItHas) {
    buildAndPlay();
    carFromTarget(10.0f);
    frame();
    EXPECT_EQ(probe().picture(), nullptr);
    EXPECT_FALSE(probe().paused());

    carFromTarget(9.999f);
    frame();
    ASSERT_NE(probe().picture(), nullptr);
    EXPECT_EQ(probe().outcome(), "win");
    EXPECT_TRUE(probe().paused());
    frame();
    EXPECT_TRUE(heard("win.wav"));
    EXPECT_FALSE(heard("lose.wav"));

    // Decided: the simulation stands still under the picture.
    const int steps = controller->steps;
    frame();
    EXPECT_EQ(controller->steps, steps);
}

TEST_F(PlayTest, TimeUnderThePauseMenuRunsOnTheClockOfInstabilityAsOfTheTimeLimit) {
    buildAndPlay();
    frame();
    car->stable = false;
    for (int i = 0; i < 9 * 60; ++i) {
        frame();
    }
    stage->onKey(VK_ESCAPE);
    frame(2 * kSecond);
    stage->onKey(VK_ESCAPE);
    EXPECT_FALSE(probe().level()->isLost());
    frame();
    EXPECT_TRUE(probe().level()->isLost());
    EXPECT_EQ(probe().outcome(), "lose");
}

TEST_F(PlayTest, TheRunIsLostAfterSixHundredSecondsNotAtThem) {
    buildAndPlay();
    now = probe().startCount() + 600 * kSecond;
    frame(0);
    EXPECT_EQ(probe().picture(), nullptr);
    frame(1);
    ASSERT_NE(probe().picture(), nullptr);
    EXPECT_EQ(probe().outcome(), "lose");
    frame();
    EXPECT_TRUE(heard("lose.wav"));
}

TEST_F(PlayTest, ALevelLossShowsTheLosePicture) {
    buildAndPlay();
    const kesh::BoundingBox& box = probe().level()->getStatics()->bounds();
    car->put(box.max + D3DXVECTOR3(50.0f, 0.0f, 0.0f));
    frame();
    EXPECT_TRUE(probe().level()->isLost());
    EXPECT_EQ(probe().outcome(), "lose");
    frame();
    EXPECT_TRUE(heard("lose.wav"));
    EXPECT_FALSE(heard("win.wav"));
}

TEST_F(PlayTest, AWinAsTheTimeRunsOutRequestsBothSoundsAndShowsLose) {
    buildAndPlay();
    carFromTarget(0.0f);
    now = probe().startCount() + 601 * kSecond;
    frame(0);
    EXPECT_EQ(probe().outcome(), "lose");
    ASSERT_NE(probe().picture(), nullptr);
    frame();
    EXPECT_TRUE(heard("win.wav"));
    EXPECT_TRUE(heard("lose.wav"));
}

TEST_F(PlayTest, APictureHoldsKeysForMoreThanThreeSeconds) {
    buildAndPlay();
    carFromTarget(0.0f);
    frame();
    ASSERT_NE(probe().picture(), nullptr);
    const LONGLONG shown = now;
    now = shown + 3 * kSecond;
    stage->onKey(VK_ESCAPE);
    EXPECT_EQ(stage->nextStage(), StageId::None);
    EXPECT_EQ(probe().pauseMenu(), nullptr);
    now = shown + 3 * kSecond + 1;
    stage->onKey('Q');
    EXPECT_EQ(stage->nextStage(), StageId::Menu);
}

TEST_F(PlayTest, KeysActByStateFirstMatchOnly) {
    build();
    // Under the map only its three closing keys count.
    for (int key : {int('V'), VK_F7, int('H'), VK_F1, int('X')}) {
        stage->onKey(key);
        EXPECT_NE(probe().map(), nullptr) << key;
        EXPECT_TRUE(probe().insideView()) << key;
    }
    for (int key : {VK_ESCAPE, VK_TAB, int('C')}) {
        stage->onKey(key);
        EXPECT_EQ(probe().map(), nullptr) << key;
        EXPECT_FALSE(probe().paused()) << key;
        if (key != 'C') {
            stage->onKey('C');
            ASSERT_NE(probe().map(), nullptr);
            EXPECT_TRUE(probe().paused());
        }
    }

    // Playing: 'V' and F7 switch the view, interface and level camera together.
    stage->onKey('V');
    EXPECT_FALSE(probe().insideView());
    EXPECT_FALSE(LevelProbe::insideView(*probe().level()));
    EXPECT_EQ(dynamic_cast<CockpitView*>(probe().carInterface()->currentView()), nullptr);
    stage->onKey(VK_F7);
    EXPECT_TRUE(probe().insideView());
    EXPECT_TRUE(LevelProbe::insideView(*probe().level()));

    // Escape: the pause menu on its main page; 'V' then goes to the menu, not the view.
    stage->onKey(VK_ESCAPE);
    ASSERT_NE(probe().pauseMenu(), nullptr);
    EXPECT_FALSE(probe().pauseMenu()->showsHelp());
    EXPECT_TRUE(probe().paused());
    stage->onKey('V');
    EXPECT_TRUE(probe().insideView());
    EXPECT_NE(probe().pauseMenu(), nullptr);
    stage->onKey('C');
    EXPECT_EQ(probe().map(), nullptr);
    stage->onKey(VK_ESCAPE);
    EXPECT_EQ(probe().pauseMenu(), nullptr);
    EXPECT_FALSE(probe().paused());

    // 'H' and F1: the menu opened on its help page.
    for (int key : {int('H'), VK_F1}) {
        stage->onKey(key);
        ASSERT_NE(probe().pauseMenu(), nullptr) << key;
        EXPECT_TRUE(probe().pauseMenu()->showsHelp()) << key;
        EXPECT_TRUE(probe().paused());
        stage->onKey(VK_ESCAPE);
        EXPECT_EQ(probe().pauseMenu(), nullptr);
    }

    // Other keys do nothing.
    stage->onKey('X');
    EXPECT_FALSE(probe().paused());
    EXPECT_EQ(stage->nextStage(), StageId::None);
}

TEST_F(PlayTest, MAndJSwitchTheInputUnderEveryPageAndTheKeyGoesOn) {
    build();
    std::vector<std::wstring> notices;
    stage->setNoticeBoard([&notices](const std::wstring& text) { notices.push_back(text); });
    InputSystem* input = probe().input();
    stage->onKey('M');
    EXPECT_TRUE(input->isMouseEnabled());
    EXPECT_NE(probe().map(), nullptr);
    stage->onKey(VK_TAB);

    stage->onKey(VK_ESCAPE);
    stage->onKey('J');
    EXPECT_TRUE(input->isJoystickEnabled());
    EXPECT_FALSE(input->isMouseEnabled());
    EXPECT_NE(probe().pauseMenu(), nullptr);
    stage->onKey(VK_ESCAPE);

    // Under the picture 'J' is also the key that goes back to the menu.
    carFromTarget(0.0f);
    frame();
    ASSERT_NE(probe().picture(), nullptr);
    now += 4 * kSecond;
    stage->onKey('J');
    EXPECT_FALSE(input->isJoystickEnabled());
    EXPECT_EQ(stage->nextStage(), StageId::Menu);
    EXPECT_EQ(notices, (std::vector<std::wstring>{L"Mouse Enabled", L"Joystick Enabled",
                                                  L"Joystick Disabled"}));
}

// The pause menu's rows, top to bottom: restart, continue, help, exit.
class PauseMenuResults : public PlayTest, public ::testing::WithParamInterface<int> {};

TEST_P(PauseMenuResults, AChoiceIsActedOnInTheNextFrameAndTheMenuGoes) {
    buildAndPlay();
    stage->onKey(VK_ESCAPE);
    ShellMenu* menu = probe().pauseMenu();
    ASSERT_NE(menu, nullptr);
    frame();
    EXPECT_NE(probe().pauseMenu(), nullptr);  // no choice yet: drawn and kept

    // The row clicked with the pointer, which the stage routes to the menu.
    const int row = GetParam();
    const std::vector<kesh::GuiElement*>& rows = menu->currentPage()->children;
    ASSERT_EQ(rows.size(), 4u);
    const kesh::GuiElement* button = rows[static_cast<std::size_t>(row)];
    stage->onMouseMove(button->x + button->w / 2, button->y + button->h / 2);
    stage->onMouseButton(1, true);
    stage->onMouseButton(1, false);
    ASSERT_NE(menu->result(), ShellMenu::Nothing);
    frame();
    EXPECT_EQ(probe().pauseMenu(), nullptr);
    switch (row) {
        case 0:
            EXPECT_EQ(stage->nextStage(), StageId::Play);
            EXPECT_TRUE(probe().paused());
            break;
        case 1:
            EXPECT_EQ(stage->nextStage(), StageId::None);
            EXPECT_FALSE(probe().paused());
            break;
        case 3:
            EXPECT_EQ(stage->nextStage(), StageId::Exit);
            EXPECT_TRUE(probe().paused());
            break;
    }
}

// With -fps the game draws the debug overlay after the stage: over an open menu it would hide
// the rows, so the scene's shapes and texts of a menu frame are dropped.
TEST_F(PlayTest, TheScenesDebugOutputIsNotLeftForTheOverlayUnderThePauseMenu) {
    buildAndPlay();
    stage->onKey('V');  // the outside camera shows the collision boxes it looks through
    kesh::DebugRenderer& debug = *kesh::theDebugRenderer;
    // What one frame, as the game starts it, leaves queued.
    const auto queuedByAFrame = [&] {
        debug.clear();
        frame();
        return debug.boxes().size() + debug.screenTexts().size();
    };
    EXPECT_GT(queuedByAFrame(), 0u);
    stage->onKey(VK_ESCAPE);
    EXPECT_EQ(queuedByAFrame(), 0u);
    stage->onKey(VK_ESCAPE);
    EXPECT_GT(queuedByAFrame(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Restart, PauseMenuResults, ::testing::Values(0));
INSTANTIATE_TEST_SUITE_P(Continue, PauseMenuResults, ::testing::Values(1));
INSTANTIATE_TEST_SUITE_P(Exit, PauseMenuResults, ::testing::Values(3));

TEST_F(PlayTest, AmbientSoundsComeWhenDueEachNameOnce) {
    buildAndPlay();
    std::vector<std::string> left = probe().ambientNames();
    // The first while playing; then, under the pause menu (frames play none, and fifteen
    // intervals would outlast the run), by asking the stage directly after each frame.
    for (int played = 0; played < GameStage::kAmbientCount; ++played) {
        const LONGLONG due = probe().nextAmbientCount();
        now = due - 1;
        frame(0);
        stage->playAmbientSound();
        EXPECT_EQ(probe().ambientNames().size(), left.size()) << played;

        // Due at the very count, with the generator seeded from the clock then.
        wallClock += 7;
        now = due;
        frame(0);
        if (played > 0) {
            EXPECT_EQ(probe().ambientNames().size(), left.size()) << played;
            stage->playAmbientSound();
        }
        msvcrt_srand(static_cast<unsigned>(wallClock));
        const std::size_t i = static_cast<std::size_t>(msvcrt_rand()) % left.size();
        const std::string expected = left[i];
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
        ASSERT_EQ(probe().ambientNames(), left) << played;
        const LONGLONG interval = probe().nextAmbientCount() - now;
        EXPECT_EQ(interval % kSecond, 0);
        EXPECT_GE(interval, 40 * kSecond);
        EXPECT_LE(interval, 69 * kSecond);

        audio->update();
        char file[16];
        std::snprintf(file, sizeof file, "ambient%02d.wav", std::stoi(expected.substr(1)));
        EXPECT_TRUE(heard(file)) << expected;
        ASSERT_EQ(heardAmbient(), played + 1);
        if (played == 0) {
            stage->onKey(VK_ESCAPE);
            ASSERT_TRUE(probe().paused());
        }
    }
    now += 1000 * kSecond;
    frame(0);
    stage->playAmbientSound();
    audio->update();
    EXPECT_EQ(heardAmbient(), GameStage::kAmbientCount);
}

// A level file outside the generated folder, which is read-only to tests, named relative to
// the art folder as the game names its levels.
struct LooseLevel {
    explicit LooseLevel(const kesh::data::LevelData& data) {
        const std::vector<std::uint8_t> bytes = artlib::levelFileBytes(data);
        std::ofstream(folder.path() / "loose.slev", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::wstring name() const {
        return std::filesystem::relative(folder.path() / "loose.slev", art_testing::generatedRoot())
            .wstring();
    }
    TempFolder folder;
};

kesh::data::LocatorObject locator(const char* tag) {
    kesh::data::LocatorObject object;
    object.tag = tag;
    D3DXMatrixIdentity(&object.transform);
    return object;
}

TEST_F(PlayTest, ALevelWithoutExtentPutsEverythingAtTheMapCentre) {
    kesh::data::LevelData data;
    data.locators = {locator("start"), locator("end")};
    const LooseLevel bare(data);
    GameStageParams p = params();
    p.levelFile = bare.name();
    stage = std::make_unique<GameStage>(dx.get(), audio.get(), &camera, window, p);
    const std::array<float, 2> uv = stage->worldToMap(D3DXVECTOR3(300.0f, 0.0f, -300.0f));
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_EQ(uv[1], 0.5f);
}

TEST_F(PlayTest, ALevelThatCannotBePlayedFailsTheStageNamingItsFile) {
    kesh::data::LevelData unpaired;
    unpaired.locators = {locator("start"), locator("start"), locator("end")};
    const LooseLevel loose(unpaired);
    struct Case {
        std::wstring file;
        std::string message;
    };
    const Case cases[] = {
        {L"levels/nope.slev", "Level levels/nope.slev cannot be read: "},
        {loose.name(),
         "Level " + kesh::toNarrow(loose.name()) + " has no start and end locators to pair"},
    };
    for (const Case& c : cases) {
        GameStageParams p = params();
        p.levelFile = c.file;
        try {
            stage = std::make_unique<GameStage>(dx.get(), audio.get(), &camera, window, p);
            ADD_FAILURE() << c.message;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
        EXPECT_EQ(kesh::theEffectManager, nullptr) << c.message;
    }
}

TEST(WorldToMapTest, AnyLevelsBoxSpansTheMapPicturesTown) {
    kesh::BoundingBox box;
    box.min = D3DXVECTOR3(-100.0f, -5.0f, 40.0f);
    box.max = D3DXVECTOR3(300.0f, 50.0f, 240.0f);
    // The box's largest x and smallest z at the plan's top-left, the others at its bottom-right.
    std::array<float, 2> uv = GameStage::worldToMap(box, D3DXVECTOR3(300.0f, 9.0f, 40.0f));
    EXPECT_FLOAT_EQ(uv[0], 0.0507f);
    EXPECT_FLOAT_EQ(uv[1], 0.037f);
    uv = GameStage::worldToMap(box, D3DXVECTOR3(-100.0f, 0.0f, 240.0f));
    EXPECT_FLOAT_EQ(uv[0], 0.6518f);
    EXPECT_FLOAT_EQ(uv[1], 0.8687f);
    // The town's own box keeps the picture's placing.
    box.min = D3DXVECTOR3(112.0f, 0.0f, -516.0f);
    box.max = D3DXVECTOR3(512.0f, 20.0f, -116.0f);
    uv = GameStage::worldToMap(box, D3DXVECTOR3(312.0f, 0.0f, -316.0f));
    EXPECT_FLOAT_EQ(uv[0], 0.5f * 0.6011f + 0.0507f);
    EXPECT_FLOAT_EQ(uv[1], 0.5f * 0.8317f + 0.037f);
}

TEST_F(PlayTest, TheEndOfTheStageStopsSoundsAndWithdrawsTheEffectManager) {
    buildAndPlay();
    frame();
    ASSERT_TRUE(soundPlaying(*audio, "carEngine"));
    // Closed while paused, with the menu open: the menu goes with the stage.
    stage->onKey(VK_ESCAPE);
    ASSERT_NE(probe().pauseMenu(), nullptr);
    stage.reset();
    EXPECT_EQ(kesh::theEffectManager, nullptr);
    for (const char* name : {"carEngineNo", "carEngineLo", "carEngine", "carEngineHi"}) {
        EXPECT_FALSE(soundPlaying(*audio, name)) << name;
    }
    EXPECT_FALSE(audio->getBank()->getBackground()->isPlaying());
}

TEST_F(PlayTest, AManagerPublishedOverTheStagesOutlivesTheStage) {
    build();
    kesh::publish(kesh::theEffectManager,
                  std::make_unique<kesh::EffectManager>(dx.get(), quads.get()));
    kesh::EffectManager* later = kesh::theEffectManager;
    stage.reset();
    EXPECT_EQ(kesh::theEffectManager, later);
}

TEST_F(PlayTest, AFailedLoadUndoesWhatWasBuilt) {
    // The generated folder is read-only to tests, so the level fails where it makes its car.
    carMaker = [](PhysicsSpace&, kesh::Decaler*, AudioSystem*, const std::wstring&) -> CarParts {
        throw std::runtime_error("no car today");
    };
    EXPECT_ANY_THROW(build());
    EXPECT_EQ(kesh::theEffectManager, nullptr);
    for (const char* name : {"carEngineNo", "carEngineLo", "carEngine", "carEngineHi"}) {
        EXPECT_FALSE(soundPlaying(*audio, name)) << name;
    }
}

}  // namespace
