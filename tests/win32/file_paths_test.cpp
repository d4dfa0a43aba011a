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

// A file reached by a link, by "..", or spelled in another case is one file to a reader that
// keeps one copy of each; containment is judged on the resolved path, never on the text.
TEST(FilePaths, IdentityAndContainmentFollowTheFileNotItsSpelling) {
    TempFolder folder;
    const std::filesystem::path art = folder.path() / "art";
    std::filesystem::create_directories(art / "sounds");
    std::filesystem::create_directories(folder.path() / "artist");
    std::ofstream(art / "sounds" / "Battle.wav") << "x";
    std::ofstream(art / "other.wav") << "y";
    std::ofstream(folder.path() / "outside.txt") << "z";
    std::ofstream(folder.path() / "artist" / "a.txt") << "z";
    std::filesystem::create_symlink(folder.path() / "outside.txt", art / "link.txt");
    const std::string root = art.string();

    const auto battle = win32::identifyFile(root + "/sounds/Battle.wav");
    ASSERT_TRUE(battle);
    EXPECT_EQ(win32::identifyFile(root + "\\SOUNDS\\battle.wav"), battle);
    EXPECT_EQ(win32::identifyFile(root + "/sounds/../sounds/./Battle.wav"), battle);
    EXPECT_NE(win32::identifyFile(root + "/other.wav"), battle);
    EXPECT_FALSE(win32::identifyFile(root + "/missing.wav"));

    EXPECT_TRUE(win32::isInsideFolder(root + "/sounds/battle.wav", root));
    EXPECT_TRUE(win32::isInsideFolder(root, root));
    EXPECT_FALSE(win32::isInsideFolder(root + "/../outside.txt", root));
    EXPECT_FALSE(win32::isInsideFolder(root + "/link.txt", root));
    EXPECT_FALSE(win32::isInsideFolder(folder.path().string() + "/artist/a.txt", root));
    EXPECT_FALSE(win32::isInsideFolder(root + "/missing.txt", root));
    EXPECT_FALSE(win32::isInsideFolder("/dev/zero", root));
}
