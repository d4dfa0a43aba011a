#include "win32/file_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

// Art names mix separators and may differ in case from the files: every loader finds its
// files through this one lookup.
TEST(FilePaths, GamePathsFindTheirFilesWhateverTheSeparatorsAndCase) {
    TempFolder folder;
    const std::string root = folder.path().string();
    std::filesystem::create_directories(folder.path() / "Texture" / "hi");
    std::ofstream(folder.path() / "Texture" / "hi" / "Road.DDS") << "x";

    EXPECT_EQ(win32::findExistingPath(root + "/Texture/hi/Road.DDS"),
              root + "/Texture/hi/Road.DDS");
    EXPECT_EQ(win32::findExistingPath(root + "\\texture\\HI\\road.dds"),
              root + "/Texture/hi/Road.DDS");
    const auto dotted = win32::findExistingPath(root + "/texture/./hi/../hi/road.dds");
    ASSERT_TRUE(dotted);
    EXPECT_TRUE(std::filesystem::equivalent(*dotted, root + "/Texture/hi/Road.DDS"));
    EXPECT_EQ(win32::findExistingPath(root + "/texture"), root + "/Texture");
}

TEST(FilePaths, MissingFilesAreNotFound) {
    TempFolder folder;
    const std::string root = folder.path().string();
    std::ofstream(folder.path() / "a.lua") << "x";
    EXPECT_FALSE(win32::findExistingPath(root + "/b.lua"));
    EXPECT_FALSE(win32::findExistingPath(root + "/a.lua/inside"));
    EXPECT_FALSE(win32::findExistingPath(root + "/missing/a.lua"));
    EXPECT_FALSE(win32::findExistingPath(""));
}
