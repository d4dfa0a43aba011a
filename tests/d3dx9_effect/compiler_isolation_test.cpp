// The shader compiler runs in a child process: glslang's HLSL front end dereferences null on
// some malformed code (the saved fuzz finds), and that must end in the effect's compile error,
// never in the death of the process that loads it.
#include <gtest/gtest.h>

#include <d3dx9effect.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/d3dx9/effect/compiler_process.h"
#include "tests/d3d9/d3d9_fixture.h"

using d3dx9::fx::ChildOutcome;
using d3dx9::fx::runInChild;
using namespace std::chrono_literals;

namespace {

TEST(CompilerProcess, HandsBackOutputLargerThanThePipeHolds) {
    std::string big(1 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7);
    }
    const ChildOutcome outcome = runInChild([&] { return big; }, 5000ms);
    ASSERT_TRUE(outcome.finished) << outcome.failure;
    EXPECT_TRUE(outcome.output == big);
}

TEST(CompilerProcess, ChildThatDiesOrThrowsIsNotFinished) {
    const ChildOutcome aborted = runInChild([]() -> std::string { std::abort(); }, 5000ms);
    EXPECT_FALSE(aborted.finished);
    EXPECT_NE(aborted.failure.find("it died of signal"), std::string::npos) << aborted.failure;

    const ChildOutcome segv = runInChild(
        []() -> std::string {
            std::raise(SIGSEGV);
            return "survived";
        },
        5000ms);
    EXPECT_FALSE(segv.finished);
    EXPECT_FALSE(segv.failure.empty());

    const ChildOutcome thrown =
        runInChild([]() -> std::string { throw std::runtime_error("lost"); }, 5000ms);
    EXPECT_FALSE(thrown.finished);
    EXPECT_EQ(thrown.failure, "it ended without a result");
}

TEST(CompilerProcess, ChildPastTheTimeoutIsKilled) {
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome outcome = runInChild(
        [] {
            std::this_thread::sleep_for(30s);
            return std::string("late");
        },
        200ms);
    EXPECT_FALSE(outcome.finished);
    EXPECT_EQ(outcome.failure, "it ran longer than 200 ms");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

// The saved inputs that crashed glslang: each must fail as a broken effect, with its messages.
class FoundShaderCode : public d3d9::testing::DeviceTest {};

TEST_F(FoundShaderCode, EachFailsWithItsCompileError) {
    const char* source = std::getenv("MORVALE_SOURCE_DIR");
    const std::filesystem::path found =
        std::filesystem::path(source != nullptr ? source : ".") / "tests/fuzz/found";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(found)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("effect-glslang-", 0) != 0) {
            continue;
        }
        ++files;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        EXPECT_EQ(D3DXCreateEffect(device, text.data(), static_cast<UINT>(text.size()), nullptr,
                                   nullptr, 0, nullptr, &effect, &errors),
                  D3DXERR_INVALIDDATA)
            << name;
        EXPECT_EQ(effect, nullptr) << name;
        ASSERT_NE(errors, nullptr) << name;
        const std::string messages(static_cast<const char*>(errors->GetBufferPointer()));
        errors->Release();
        EXPECT_EQ(messages.rfind("memory(", 0), 0u) << name << ":\n" << messages;
        EXPECT_NE(messages.find("): error: "), std::string::npos) << name << ":\n" << messages;
    }
    EXPECT_EQ(files, 5);
}

}  // namespace
