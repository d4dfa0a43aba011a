// The art tool makes the same bytes on every run, and only clears folders it made itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tests/win32/temp_folder.h"

namespace {

namespace fs = std::filesystem;

int runTool(const fs::path& out) {
    const std::string command = std::string("\"") + MORVALE_ARTTOOL + "\" \"" + out.string() +
                                "\" \"" + MORVALE_ART_SOURCE + "\" \"" + MORVALE_ART_FONT +
                                "\" > /dev/null 2>&1";
    return std::system(command.c_str());
}

std::map<std::string, std::string> contents(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[fs::relative(entry.path(), root).generic_string()] =
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return files;
}

// Two runs into one folder: the second replaces the first with the same bytes and leaves
// nothing of what was there before.
TEST(ArtToolTest, ASecondRunGivesTheSameBytesAndNothingElse) {
    TempFolder folder;
    const fs::path out = folder.path() / "art";
    ASSERT_EQ(runTool(out), 0);
    const auto first = contents(out);
    ASSERT_GT(first.size(), 100u);
    std::ofstream(out / "stale.txt") << "left from an older run";
    ASSERT_EQ(runTool(out), 0);
    const auto second = contents(out);
    EXPECT_EQ(second.count("stale.txt"), 0u);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        const auto other = second.find(name);
        ASSERT_NE(other, second.end()) << name;
        EXPECT_TRUE(bytes == other->second) << name << " differs between runs";
    }
}

TEST(ArtToolTest, RefusesToClearAFolderItDidNotMake) {
    TempFolder folder;
    const fs::path foreign = folder.path() / "foreign";
    fs::create_directories(foreign);
    std::ofstream(foreign / "precious.txt") << "not the tool's";
    EXPECT_NE(runTool(foreign), 0);
    EXPECT_TRUE(fs::exists(foreign / "precious.txt"));
}

}  // namespace
