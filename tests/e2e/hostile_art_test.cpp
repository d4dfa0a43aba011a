// The art folder is a stranger's input: each hostile file below, put into an otherwise good
// art folder one at a time, must leave the game to end on its own, through its terminating
// box or by playing on, within an address space of twice the game's normal peak. None may
// run a program, write a file, hang, crash or be killed.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/game_run.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

namespace fs = std::filesystem;

// The game's own peak address space on the real level is about 2 GB (VmPeak).
constexpr unsigned long long kTwiceNormalPeak = 4ull << 30;

std::string builtArt(const std::string& path) {
    std::ifstream in(
        fs::path(MORVALE_GAME_EXECUTABLE).parent_path() / ".." / ".." / "proc_art" / path,
        std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts the game over the art with replaced files, skips the first video, starts the level
// and skips the second video; the level named on the command line ends the run once it loads.
e2e::RunResult runWith(const std::string& name, const std::map<std::string, std::string>& replaced,
                       const std::string& level = "final_level.slev") {
    e2e::RunSetup setup;
    setup.name = name;
    setup.program = e2e::placeProgram(name, replaced).string();
    setup.arguments = "level=" + level + " -log";
    setup.quitAfterFrames = 400;
    setup.guardSeconds = 120;
    setup.addressSpaceLimit = kTwiceNormalPeak;
    setup.script = "30 press ESCAPE\n80 click 200 405\n130 press ESCAPE\n";
    return e2e::runGame(setup);
}

// Ended by itself, either playing on or through the terminating box, and not for want of
// memory.
void expectEndedOnItsOwn(const e2e::RunResult& run) {
    ASSERT_NE(run.exitCode, e2e::kGuardExpired) << "the run hung\n" << run.log;
    EXPECT_TRUE(run.exitCode == 0 || run.log.find("Application terminating: ") != std::string::npos)
        << "exit code " << run.exitCode << "\n"
        << e2e::output(run);
    EXPECT_EQ(e2e::output(run).find("bad_alloc"), std::string::npos) << e2e::output(run);
}

void expectScriptEnds(const std::string& name, const std::string& prelude) {
    expectEndedOnItsOwn(
        runWith(name, {{"config/audio.lua", prelude + "\n" + builtArt("config/audio.lua")}},
                "drive_test.slev"));
}

TEST(HostileArtTest, DataScriptsNeitherRunProgramsNorWriteFiles) {
    const fs::path marker = fs::absolute(fs::path(MORVALE_E2E_RUNS) / "script_marker");
    fs::remove(marker);
    fs::remove(marker.string() + "_written");
    expectScriptEnds("script_programs", "pcall(function() io.popen('touch " + marker.string() +
                                            "') end)\n"
                                            "pcall(function() local f = io.open('" +
                                            marker.string() +
                                            "_written', 'w') f:write('x') f:close() end)\n");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(marker.string() + "_written"));
}

TEST(HostileArtTest, DataScriptsThatRunForeverEnd) {
    expectScriptEnds("script_pcall_loop",
                     "while true do pcall(function() while true do end end) end");
    expectScriptEnds("script_xpcall_handler",
                     "xpcall(function() while true do end end, function() while true do end end)");
    expectScriptEnds("script_finaliser",
                     "setmetatable({}, {__gc = function() while true do end end}) "
                     "collectgarbage()");
    expectScriptEnds("script_pattern", "string.find(('a'):rep(40), ('a*'):rep(40) .. 'b')");
}

// gui.fx with its pixel shader's body wrapped in depth blocks made by wrap.
std::string guiEffectWith(const std::string& prologue, int depth, const std::string& open,
                          const std::string& close) {
    std::string body = "    float4 c = tex2D(diffuseSampler, uv) * sprite_color;\n";
    for (int i = 0; i < depth; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, open.c_str(), i, i, i, i);
        body += line;
    }
    body += "    c *= 0.999f;\n";
    for (int i = 0; i < depth; ++i) {
        body += close;
    }
    std::string effect = builtArt("fx/gui.fx");
    const std::string original = "    return tex2D(diffuseSampler, uv) * sprite_color;\n";
    const std::size_t at = effect.find(original);
    if (at == std::string::npos) {
        ADD_FAILURE() << "gui.fx's pixel shader has changed";
        return effect;
    }
    return prologue + effect.replace(at, original.size(), body + "    return c;\n");
}

TEST(HostileArtTest, EffectsNestedTooDeepAreRefused) {
    expectEndedOnItsOwn(
        runWith("effect_nested_ifs",
                {{"fx/gui.fx", guiEffectWith("", 1800, "    if (uv.x > 0.%04d) {\n", "    }\n")}},
                "drive_test.slev"));
    expectEndedOnItsOwn(
        runWith("effect_nested_loops",
                {{"fx/gui.fx",
                  guiEffectWith("", 20, "    for (int i%d = 0; i%d < 2; ++i%d) {\n", "    }\n")}},
                "drive_test.slev"));
}

TEST(HostileArtTest, EffectIncludesAreBoundedAndStayInTheArtFolder) {
    std::map<std::string, std::string> chain;
    constexpr int kLinks = 15;
    for (int i = 0; i < kLinks; ++i) {
        const std::string next = "#include \"chain" + std::to_string(i + 1) + ".fxh\"\n";
        chain["fx/chain" + std::to_string(i) + ".fxh"] = next + next;
    }
    chain["fx/chain" + std::to_string(kLinks) + ".fxh"] = std::string(300, '/') + "\n";
    chain["fx/gui.fx"] = "#include \"chain0.fxh\"\n" + builtArt("fx/gui.fx");
    expectEndedOnItsOwn(runWith("effect_include_chain", chain, "drive_test.slev"));

    std::string up;
    for (int i = 0; i < 24; ++i) {
        up += "../";
    }
    expectEndedOnItsOwn(
        runWith("effect_include_device",
                {{"fx/gui.fx", "#include \"" + up + "dev/zero\"\n" + builtArt("fx/gui.fx")}},
                "drive_test.slev"));
}

// Stereo silence as FLAC: a few hundred KB on disk, 106 MB a ten minutes at 44.1 kHz as
// 16-bit samples.
std::string silence(int minutes, int rate) {
    const fs::path file = fs::path(MORVALE_E2E_RUNS) / ("silence_" + std::to_string(minutes) + "_" +
                                                        std::to_string(rate) + ".flac");
    if (!fs::exists(file)) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 2;
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
        if (out == nullptr) {
            ADD_FAILURE() << sf_strerror(nullptr);
            return {};
        }
        const std::vector<short> second(static_cast<std::size_t>(rate) * 2);
        for (int s = 0; s < minutes * 60; ++s) {
            sf_write_short(out, second.data(), static_cast<sf_count_t>(second.size()));
        }
        sf_close(out);
    }
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A half-hour track of the player's own is valid music; the videos' soundtracks and the engine
// loops, ten minutes each and one of them under four spellings, are held once each.
TEST(HostileArtTest, LongSoundsPlayWithinTheSoundBudget) {
    std::map<std::string, std::string> files{{"audio/battle1.wav", silence(30, 48000)}};
    for (const char* name : {"video01.wav", "video02.wav", "engine_hi.wav"}) {
        files[std::string("audio/") + name] = silence(10, 44100);
    }
    std::string script = builtArt("config/audio.lua");
    const std::size_t end = script.rfind("return p");
    ASSERT_NE(end, std::string::npos) << "audio.lua no longer ends by returning its performance";
    files["config/audio.lua"] =
        script.insert(end,
                      "p.carEngineNo.loop.id = res(\"./engine_hi.wav\")\n"
                      "p.carEngineLo.loop.id = res(\".//engine_hi.wav\")\n"
                      "p.carEngine.loop.id = res(\"../audio/engine_hi.wav\")\n");
    const e2e::RunResult run = runWith("long_sounds", files, "drive_test.slev");
    expectEndedOnItsOwn(run);
    EXPECT_EQ(run.exitCode, 0) << e2e::output(run);
    EXPECT_NE(run.log.find("Successfull exit"), std::string::npos);
    EXPECT_EQ(e2e::output(run).find("LoadObjectFromFile failed"), std::string::npos)
        << e2e::output(run);
}

TEST(HostileArtTest, HugeLightmapsStayWithinTheTextureBudget) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "without its address space limit the run proves nothing, and under the "
                    "sanitizer it takes minutes";
#endif
    // 8192 x 8192 of one grey: a few hundred KB as PNG, 256 MB as a texture.
    constexpr int kSide = 8192;
    const std::vector<unsigned char> grey(static_cast<std::size_t>(kSide) * kSide, 128);
    int size = 0;
    unsigned char* png = stbi_write_png_to_mem(grey.data(), kSide, kSide, kSide, 1, &size);
    ASSERT_NE(png, nullptr);
    const std::string picture(reinterpret_cast<const char*>(png), static_cast<std::size_t>(size));
    STBIW_FREE(png);

    const fs::path lightmaps = fs::path(MORVALE_GAME_EXECUTABLE).parent_path() / ".." / ".." /
                               "proc_art" / "texture" / "hi" / "lightmaps" / "level01";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(lightmaps)) {
        if (entry.path().extension() == ".dds") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    std::map<std::string, std::string> files;
    for (std::size_t i = 0; i < names.size() && i < 12; ++i) {
        files["texture/hi/lightmaps/level01/" + names[i]] = picture;
    }
    expectEndedOnItsOwn(runWith("huge_lightmaps", files));
}

// The ground's mesh with a box that is not a number: the mesh is refused by its name rather
// than the run lost at its first frame without a word.
TEST(HostileArtTest, AGroundWithoutAFiniteBoxIsRefusedByName) {
    std::string ground = builtArt("mesh/drive_test_ground.wfm");
    ASSERT_GE(ground.size(), 4u);
    // The file ends with the mesh's box, its largest z last.
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&ground[ground.size() - sizeof notANumber], &notANumber, sizeof notANumber);
    const e2e::RunResult run =
        runWith("ground_without_box", {{"mesh/drive_test_ground.wfm", ground}}, "drive_test.slev");
    expectEndedOnItsOwn(run);
    EXPECT_NE(e2e::output(run).find("drive_test_ground"), std::string::npos) << e2e::output(run);
}

// A mesh whose material list makes the mesh reader ask for tens of gigabytes.
TEST(HostileArtTest, AnInflatingMeshIsRefused) {
    const std::string mesh =
        "xof 0303txt 0032\n\nMaterial red {\n  1.0; 0.0; 0.0; 1.0;;\n  10.0;\n  1.0; 1.0; 1.0;;\n"
        "  0.0; 0.0; 0.0;;\n  TextureFilename { \"brick.tga\"; }\n}\n\nFrame root {\n"
        "  FrameTransformMatrix {\n    0.0, 0.0, 0.0, 0.0,\n    0.0, 1.0, 0.0, 0.0,\n"
        "    0.0, 0.0, 1.0, 0.0,\n    0.0, 0.0, 2.0, 1.0;;\n  }\n  Mesh box {\n    5;\n"
        "    0.0; 0.0; 0.0;,\n    1.0; 0.0; 0.0;,\n    1.0; 1.0; 0.0;,\n    0.0; 1.0; 0.0;,\n"
        "    0.5; 0.5; 1.0;;\n    3;\n    4; 0, 1, 2, 3;,\n    3; 0,\n      3; 1, 1, 1;,\n"
        "      3; 0, 1, 1;;\n    }\n   MT hseextureCoords {\n      5;\n      0.0; 0.0;,\n"
        "      1.0; 0.0;,\n      1.0; 1.0;,\n      0.0; 1.0;,\n      0.5; 0.5;;\n    }\n"
        "    MeshMaterialList {\n      2;\n      3;\n      0, 1, 1;;\n      { red }\n"
        "      Material green {\n        0.0; 1.0; 0.0; 1.0;;\n        0.0;\n"
        "        0.0; 0.0; 0.0;;\n        0.0; 0.0; 0.0;;\n      }\n   }\n"
        "    MeshMaterialList {\n      2;\n      3;\n      0, 1, 1;;\n      { red }\n }\n  }\n}\n";
    expectEndedOnItsOwn(runWith("inflating_mesh", {{"mesh/sphere.x", mesh}}, "drive_test.slev"));
}

}  // namespace
