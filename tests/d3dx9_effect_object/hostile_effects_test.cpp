// Effect files in the art folder come from strangers: nesting the shader models refuse, includes
// that multiply or reach outside the folder, and parameter counts no effect needs each end in
// a clear error naming the file (or load), never in a crash, a stall or a huge allocation.
// The same files at the edge of each bound still load.
#include <gtest/gtest.h>

#include <d3dx9effect.h>

#include <filesystem>
#include <fstream>

#include "effect_fixture.h"
#include "tests/win32/temp_folder.h"

namespace {

class HostileEffect : public fxobject::EffectTest {
protected:
    // Writes main.fx (and `files`, name to text) into the temp folder's "art/fx" and loads it
    // from there; true when an effect came back. `messages` holds the compiler's text.
    bool loads(const std::string& text,
               const std::vector<std::pair<std::string, std::string>>& files = {}) {
        const std::filesystem::path fx = folder.path() / "art" / "fx";
        std::filesystem::create_directories(fx);
        for (const auto& [name, content] : files) {
            std::filesystem::create_directories((fx / name).parent_path());
            std::ofstream(fx / name) << content;
        }
        std::ofstream(fx / "main.fx") << text;
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        lastResult = D3DXCreateEffectFromFileA(device, (fx / "main.fx").string().c_str(), nullptr,
                                               nullptr, 0, nullptr, &effect, &errors);
        messages.clear();
        if (errors != nullptr) {
            messages = static_cast<const char*>(errors->GetBufferPointer());
            errors->Release();
        }
        if (effect != nullptr) {
            effect->Release();
        }
        return effect != nullptr;
    }

    TempFolder folder;
};

// A pixel shader whose body nests `depth` statements opened by `open`, each '@' in it
// replaced by the level.
std::string nestedShader(const std::string& profile, const std::string& open, int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) {
        std::string level = open;
        for (std::size_t at = level.find('@'); at != std::string::npos; at = level.find('@')) {
            level.replace(at, 1, std::to_string(i));
        }
        body += level + " {\n";
    }
    body += "c.x += 0.5;\n" + std::string(static_cast<std::size_t>(depth), '}');
    return "float4 ps(float4 c : COLOR0) : COLOR0 {\n" + body + "\nreturn c;\n}\n" +
           "technique t { pass p { PixelShader = compile " + profile + " ps(); } pass r { } }\n";
}

const std::string kBranch = "if (c.x > 0.25)";
const std::string kLoop = "for (int i@ = 0; i@ < 2; i@++)";

TEST_F(HostileEffect, NestingPastTheShaderModelIsRefusedBeforeAnyCompiler) {
    EXPECT_TRUE(loads(nestedShader("ps_3_0", kBranch, 24))) << messages;
    EXPECT_FALSE(loads(nestedShader("ps_3_0", kBranch, 25)));
    EXPECT_NE(messages.find("main.fx(26): error: flow control nested 25 deep, ps_3_0 allows 24"),
              std::string::npos)
        << messages;
    EXPECT_TRUE(loads(nestedShader("ps_2_0", kBranch, 16))) << messages;
    EXPECT_FALSE(loads(nestedShader("ps_2_0", kBranch, 17)));
    // A fallback technique for older cards does not see the nesting of the newer one's.
    EXPECT_TRUE(
        loads("float4 plain() : COLOR0 { return 1; }\n" + nestedShader("ps_3_0", kBranch, 20) +
              "technique low { pass p { PixelShader = compile ps_2_0 plain(); } pass r { } }"))
        << messages;

    EXPECT_TRUE(loads(nestedShader("ps_3_0", kLoop, 4))) << messages;
    EXPECT_FALSE(loads(nestedShader("ps_3_0", kLoop, 5)));
    EXPECT_NE(messages.find("loops nested 5 deep, ps_3_0 allows 4"), std::string::npos);

    // What used to overflow the translator's stack in this process, and what kept Mesa busy
    // for half a minute.
    EXPECT_FALSE(loads(nestedShader("ps_3_0", kBranch, 1800)));
    EXPECT_NE(messages.find("main.fx"), std::string::npos);
    EXPECT_FALSE(loads(nestedShader("ps_3_0", kLoop, 20)));
}

TEST_F(HostileEffect, IncludesStayInTheFolderAndWithinTheirBytes) {
    // A few levels deep, in a subfolder and back, loads.
    EXPECT_TRUE(
        loads("#include \"lib/a.fxh\"\ntechnique t { pass p { TextureFactor = <c>; } "
              "pass r { } }\n",
              {{"lib/a.fxh", "#include \"b.fxh\"\n"},
               {"lib/b.fxh", "#include \"../c.fxh\"\n"},
               {"c.fxh", "int c = 3;\n"}}))
        << messages;

    // Fifteen small files, the effect and thirteen that each include the next twice (2^13
    // copies of the last), all within the depth allowed.
    std::vector<std::pair<std::string, std::string>> doubling;
    for (int i = 0; i < 13; ++i) {
        const std::string next = "#include \"d" + std::to_string(i + 1) + ".fxh\"\n";
        doubling.push_back(
            {"d" + std::to_string(i) + ".fxh", "// " + std::string(200, '-') + "\n" + next + next});
    }
    doubling.push_back({"d13.fxh", "float f;\n"});
    EXPECT_FALSE(loads("#include \"d0.fxh\"\n", doubling));
    EXPECT_NE(messages.find("main.fx exceed 1048576 bytes"), std::string::npos) << messages;

    // Devices, files outside the art folder however they are reached, and folders.
    std::ofstream(folder.path() / "outside.fxh") << "float o;\n";
    std::filesystem::create_symlink(folder.path() / "outside.fxh",
                                    folder.path() / "art" / "fx" / "link.fxh");
    for (const std::string name : {"../../../../../../../../dev/zero", "../../outside.fxh",
                                   "link.fxh", "/dev/zero", "lib"}) {
        EXPECT_FALSE(loads("#include \"" + name + "\"\n")) << name;
        EXPECT_NE(messages.find("main.fx(1): cannot open include file '" + name + "'"),
                  std::string::npos)
            << messages;
    }
}

TEST_F(HostileEffect, ManyParametersLoadAndTheirNamesStayUnique) {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += (i % 10 == 0 ? "float p" : ", p") + std::to_string(i) + (i % 10 == 9 ? ";\n" : "");
    }
    // Only what the code names reaches the compiler: all of them made a uniform block larger
    // than SPIR-V can describe.
    EXPECT_TRUE(loads(text + "float4 ps() : COLOR0 { return p99999; }\n"
                             "technique t { pass p { TextureFactor = <p5>;\n"
                             "PixelShader = compile ps_3_0 ps(); } pass r { } }"))
        << messages;
    EXPECT_FALSE(loads(text + "float p77777;\n"));
    EXPECT_NE(messages.find("main.fx(10001): redefinition of 'p77777'"), std::string::npos)
        << messages;
}

}  // namespace
