#include "engine/core/paths.h"

#include <win32/seams.h>

#include <gtest/gtest.h>

namespace {

TEST(ExeDirectory, QuotedAndUnquotedProgramGiveTheSameFolder) {
    EXPECT_EQ(kesh::exeDirectory(L"\"C:\\Games\\x\\game.exe\" -log"), L"C:\\Games\\x\\");
    EXPECT_EQ(kesh::exeDirectory(L"C:\\Games\\x\\game.exe -log"), L"C:\\Games\\x\\");
}

TEST(ExeDirectory, QuotesKeepBlanksInThePath) {
    EXPECT_EQ(kesh::exeDirectory(L"\"/opt/my games/bin/morvale\" level=a b"),
              L"/opt/my games/bin/");
    // Unquoted, the path ends at the first blank.
    EXPECT_EQ(kesh::exeDirectory(L"/opt/my games/bin/morvale"), L"/opt/");
}

TEST(ExeDirectory, SlashesAndOpenQuotesAndNoFolder) {
    EXPECT_EQ(kesh::exeDirectory(L"/home/u/build/bin/morvale"), L"/home/u/build/bin/");
    EXPECT_EQ(kesh::exeDirectory(L"\"/home/u/bin/morvale"), L"/home/u/bin/");
    EXPECT_EQ(kesh::exeDirectory(L"game.exe -log"), L"");
    EXPECT_EQ(kesh::exeDirectory(L"\"game.exe\" -log"), L"");
    EXPECT_EQ(kesh::exeDirectory(L""), L"");
    EXPECT_EQ(kesh::exeDirectory(L"\"\""), L"");
}

TEST(CurrentDirectory, IsWhatTheKernelReports) {
    auto previous = win32::overrideCurrentDirectory(std::wstring(L"/home/u/work"));
    EXPECT_EQ(kesh::currentDirectory(), L"/home/u/work");
    // Longer than the 260-character buffer: the kernel fills nothing, the result is empty.
    win32::overrideCurrentDirectory(L"/" + std::wstring(300, L'd'));
    EXPECT_EQ(kesh::currentDirectory(), L"");
    win32::overrideCurrentDirectory(L"/" + std::wstring(258, L'd'));
    EXPECT_EQ(kesh::currentDirectory().size(), 259u);
    win32::overrideCurrentDirectory(previous);
}

TEST(DirectoryOf, KeepsTheLastSeparator) {
    EXPECT_EQ(kesh::directoryOf("config/sub/a.lua"), "config/sub/");
    EXPECT_EQ(kesh::directoryOf("a.lua"), "");
    EXPECT_EQ(kesh::directoryOf("config\\sub/a.lua"), "config\\sub/");
    EXPECT_EQ(kesh::directoryOf("config/sub\\a.lua"), "config/sub\\");
    EXPECT_EQ(kesh::directoryOf("dir/"), "dir/");
    EXPECT_EQ(kesh::directoryOf(""), "");
}

TEST(FileNameOf, TakesWhatFollowsTheLastSeparator) {
    EXPECT_EQ(kesh::fileNameOf("config\\a.lua"), "a.lua");
    EXPECT_EQ(kesh::fileNameOf("config/sub/a.lua"), "a.lua");
    EXPECT_EQ(kesh::fileNameOf("a.lua"), "a.lua");
    EXPECT_EQ(kesh::fileNameOf("dir/"), "");
    EXPECT_EQ(kesh::fileNameOf(""), "");
}

}  // namespace
