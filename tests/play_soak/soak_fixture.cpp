#include "tests/play_soak/soak_fixture.h"

#include <d3d9/seams.h>
#include <ode/ode.h>
#include <win32/window_seams.h>

#include <malloc.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <fstream>
#include <sstream>

#include "engine/core/log.h"
#include "game/app/shell/gui_picture_widget.h"
#include "game/app/shell/gui_settings.h"
#include "game/app/shell/shell_menu.h"
#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/car/wheel.h"
#include "tests/support/level_probe.h"

namespace soak {

namespace {

constexpr std::size_t kMostFaults = 10;
constexpr std::size_t kMostErrorLines = 20;

// Lines that report a failure, from every channel; only those are kept, so that a long run
// does not hold its whole log.
std::vector<std::string>& errorLines() {
    static std::vector<std::string> lines;
    return lines;
}

bool reportsError(const std::string& channel, const std::string& text) {
    static const char* const words[] = {"error", "Error", "exception", "Failed"};
    if (channel == "error") {
        return true;
    }
    return std::any_of(std::begin(words), std::end(words),
                       [&text](const char* word) { return text.find(word) != std::string::npos; });
}

void attachLog() {
    static bool attached = false;
    if (attached) {
        return;
    }
    auto& manager = boost::log::LogManager::instance();
    manager.addAppender(
        "*",
        [](const std::string& channel, const std::string& text) {
            if (reportsError(channel, text) && errorLines().size() < kMostErrorLines) {
                std::string line = text;
                if (!line.empty() && line.back() == '\n') {
                    line.pop_back();
                }
                errorLines().push_back(channel + ": " + line);
            }
        },
        0);
    manager.setCaching(false, 0);
    attached = true;
}

// Names the first value that is not finite, or returns empty.
class FiniteCheck {
public:
    void values(const char* what, const float* v, int count) {
        for (int i = 0; i < count && found.empty(); ++i) {
            if (!std::isfinite(v[i])) {
                found = what;
                found += "[" + std::to_string(i) + "] = " + std::to_string(v[i]);
            }
        }
    }
    void values(const char* what, const dReal* v, int count) {
        float copy[4] = {};
        for (int i = 0; i < count; ++i) {
            copy[i] = std::isfinite(v[i]) ? 0.0f : static_cast<float>(v[i]);
        }
        values(what, copy, count);
    }
    void vector(const char* what, const D3DXVECTOR3& v) { values(what, &v.x, 3); }
    void quaternion(const char* what, const D3DXQUATERNION& q) { values(what, &q.x, 4); }
    void value(const char* what, float v) { values(what, &v, 1); }

    std::string found;
};

Point centre(const kesh::GuiElement* element) {
    return {element->x + element->w / 2, element->y + element->h / 2};
}

}  // namespace

long residentKilobytes() {
    // The GL driver's threads allocate and free a great deal every frame, and the allocator
    // keeps what they free in per-thread arenas: handed back first, what stays resident is
    // what the process holds.
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

long heapKilobytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

long memoryGrowth(const std::vector<MemorySample>& samples, double settle,
                  long MemorySample::*measure) {
    // What a frame holds in flight swings by megabytes on the GL driver, so single samples
    // are compared by their medians: the last third of the settled run against the first.
    std::vector<long> settled;
    for (const MemorySample& sample : samples) {
        if (sample.seconds >= settle) {
            settled.push_back(sample.*measure);
        }
    }
    const std::size_t third = settled.size() / 3;
    if (third == 0) {
        return 0;
    }
    auto median = [](std::vector<long> values) {
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    return median({settled.end() - third, settled.end()}) -
           median({settled.begin(), settled.begin() + third});
}

std::string describe(const std::vector<MemorySample>& samples) {
    std::ostringstream text;
    for (const MemorySample& sample : samples) {
        text << "  " << sample.seconds << " s: " << sample.kilobytes << " kB resident, "
             << sample.heapKilobytes << " kB heap\n";
    }
    return text.str();
}

void PlaySoak::SetUp() {
    PlayTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    useRealCar();
    // The test seams' own records would grow with the run and hide the game's memory.
    dmusic_test::setRecording(false);
    d3d9::setDrawRecording(false);
    attachLog();
    errorLines().clear();
}

void PlaySoak::warmCaches() {
    // The pictures a run shows only now and then: the help page, the win and lose pictures.
    GuiSettings settings;
    settings.textureFolder = params().guiTextureFolder;
    device->BeginScene();
    ShellMenu(dx.get(), settings, true, true).draw();
    GuiPictureWidget(dx.get(), settings, "win").draw();
    GuiPictureWidget(dx.get(), settings, "lose").draw();
    device->EndScene();

    // Every sound the play stage can ask for; the car's skids and crashes pick among
    // alternatives at random, so they are asked for often enough to have played each.
    std::vector<std::string> names = {"beep"};
    for (int i = 1; i <= 17; ++i) {
        names.push_back("z" + std::to_string(i));
    }
    for (int i = 0; i < 40; ++i) {
        names.push_back("tyreSlide");
        names.push_back("buildingCrash");
    }
    for (const std::string& name : names) {
        audio->playSound(name);
        audio->update();
        audio->stopAll();
        dmusic_test::advance(0.05);
    }
}

void PlaySoak::pumpMessages() {
    // As the game's window procedure hands them on; the idle peek that ends the loop plays
    // the script's next frame.
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        switch (message.message) {
            case WM_KEYDOWN:
                stage->onKey(static_cast<int>(message.wParam));
                break;
            case WM_MOUSEMOVE:
                stage->onMouseMove(LOWORD(message.lParam), HIWORD(message.lParam));
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
                stage->onMouseButton(1, message.message == WM_LBUTTONDOWN);
                break;
            default:
                break;
        }
    }
}

void PlaySoak::checkCar(long frameNumber, SoakResult& result) {
    Level* level = probe().level();
    CVehicle* vehicle = LevelProbe::vehicle(*level);
    FiniteCheck check;
    D3DXVECTOR3 v;
    vehicle->position(v);
    check.vector("position", v);
    vehicle->velocity(v);
    check.vector("velocity", v);
    vehicle->orientation(v);
    check.vector("heading", v);
    const kesh::Transform* placement = vehicle->placement();
    check.vector("placement", placement->position);
    check.quaternion("placement rotation", placement->rotation);
    check.values("body position", dBodyGetPosition(vehicle->body), 3);
    check.values("body quaternion", dBodyGetQuaternion(vehicle->body), 4);
    check.values("body velocity", dBodyGetLinearVel(vehicle->body), 3);
    check.values("body spin", dBodyGetAngularVel(vehicle->body), 3);
    for (std::int32_t i = 0; i < vehicle->wheelCount(); ++i) {
        CWheel* wheel = vehicle->wheel(i);
        check.vector("wheel position", wheel->transform()->position);
        check.quaternion("wheel rotation", wheel->transform()->rotation);
        check.value("wheel slip", wheel->slip());
        check.value("wheel steering", wheel->steeringValue());
        check.vector("wheel force", wheel->force(v));
        check.vector("wheel response", wheel->response(v));
    }
    check.value("engine power", level->getEnginePower());
    check.value("gauge", level->getGaugeValue());
    check.values("camera", &level->view().camera._41, 3);
    if (!check.found.empty() && result.faults.size() < kMostFaults) {
        result.faults.push_back("frame " + std::to_string(frameNumber) + ": " + check.found);
    }
    result.mostOwedTime = std::max(result.mostOwedTime, LevelProbe::owedTime(*level));
}

void PlaySoak::collectLog(SoakResult& result) {
    for (const std::string& line : errorLines()) {
        if (result.errorLines.size() < kMostErrorLines) {
            result.errorLines.push_back(line);
        }
    }
    errorLines().clear();
}

SoakResult PlaySoak::soak(InputPlan plan, double sampleEvery) {
    {
        // The pause menu's rows as the stage will lay them out in this window.
        GuiSettings settings;
        settings.textureFolder = params().guiTextureFolder;
        ShellMenu menu(dx.get(), settings, true, false);
        const std::vector<kesh::GuiElement*>& rows = menu.currentPage()->children;
        plan.restartRow = centre(rows.at(0));
        plan.continueRow = centre(rows.at(1));
    }
    warmCaches();
    const Script script = randomScript(plan);
    win32::playInputScript(script.text);

    SoakResult result;
    const LONGLONG step = static_cast<LONGLONG>(plan.frameSeconds * play_testing::kSecond);
    const long frames = static_cast<long>(plan.seconds / plan.frameSeconds);
    build();
    double nextSample = 0.0;
    for (long i = 0; i < frames; ++i) {
        pumpMessages();
        // As the game's frame begins: the debug lines the last frame queued are dropped.
        kesh::theDebugRenderer->clear();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
        frame(step);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        dmusic_test::advance(plan.frameSeconds);
        result.frames = i + 1;
        result.seconds = static_cast<double>(i + 1) * plan.frameSeconds;
        checkCar(i, result);
        if (result.seconds >= nextSample) {
            result.memory.push_back({result.seconds, residentKilobytes(), heapKilobytes()});
            collectLog(result);
            nextSample += sampleEvery;
        }
        const StageId next = stage->nextStage();
        if (next == StageId::None) {
            continue;
        }
        if (next == StageId::Play) {
            ++result.menuRestarts;
        } else if (next == StageId::Menu) {
            // The player starts again from the menu.
            ++result.decidedRestarts;
            (probe().outcome() == "win" ? result.wins : result.losses) += 1;
        } else {
            result.faults.push_back("frame " + std::to_string(i) + ": next stage " +
                                    std::to_string(static_cast<int>(next)));
            break;
        }
        stage.reset();
        build();
    }
    collectLog(result);
    win32::playInputScript("");
    return result;
}

}  // namespace soak
