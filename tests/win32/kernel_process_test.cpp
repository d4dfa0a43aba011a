#include <win32/posix.h>
#include <win32/process.h>
#include <win32/seams.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

std::wstring widen(const std::string& bytes) {
    std::wstring wide;
    for (unsigned char c : bytes) {
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

std::wstring executablePath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return widen(std::string(path, length > 0 ? static_cast<std::size_t>(length) : 0));
}

// Restores the recorded command line after a test that records its own.
class CommandLineTest : public ::testing::Test {
protected:
    void TearDown() override {
        const char* none[] = {"test"};
        win32::recordCommandLine(1, none);
    }
};

TEST_F(CommandLineTest, StartsWithTheQuotedAbsoluteExecutablePath) {
    const char* argv[] = {"relative/name", "-log", "level=test.slev"};
    win32::recordCommandLine(3, argv);
    EXPECT_EQ(std::wstring(GetCommandLineW()),
              L"\"" + executablePath() + L"\" -log level=test.slev");
}

TEST_F(CommandLineTest, QuotesArgumentsHoldingBlanksAndEmptyOnes) {
    const char* argv[] = {"x", "level=my level.slev", "", "tab\there", "plain"};
    win32::recordCommandLine(5, argv);
    EXPECT_EQ(std::wstring(GetCommandLineW()), L"\"" + executablePath() +
                                                   L"\" \"level=my level.slev\" \"\" "
                                                   L"\"tab\there\" plain");
}

TEST_F(CommandLineTest, ArgumentBytesBecomeOneUnitEach) {
    const char* argv[] = {"x", "caf\xc3\xa9"};
    win32::recordCommandLine(2, argv);
    const std::wstring line = GetCommandLineW();
    EXPECT_EQ(line.substr(line.size() - 5), std::wstring(L"caf\u00c3\u00a9"));
}

TEST_F(CommandLineTest, OverrideReplacesTheWholeLine) {
    auto previous = win32::overrideCommandLine(std::wstring(L"\"C:\\Games\\x\\game.exe\" -log"));
    EXPECT_EQ(std::wstring(GetCommandLineW()), L"\"C:\\Games\\x\\game.exe\" -log");
    win32::overrideCommandLine(previous);
    EXPECT_EQ(std::wstring(GetCommandLineW()).find(L"C:\\Games"), std::wstring::npos);
}

TEST(ModulePath, IsTheAbsoluteExecutable) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    EXPECT_EQ(std::wstring(buffer), executablePath());
    EXPECT_EQ(length, executablePath().size());
    EXPECT_EQ(buffer[0], L'/');
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, MAX_PATH), length);
}

TEST(ModulePath, SmallBufferIsTruncatedTerminatedAndReported) {
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 4), 4u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::wstring(buffer), executablePath().substr(0, 3));
}

TEST(ModulePath, UnknownModulesHaveNoHandleOrName) {
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"d3d9.dll"), nullptr);
    wchar_t buffer[MAX_PATH];
    int other = 0;
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(&other), buffer, MAX_PATH), 0u);
}

TEST(ModulePath, OverrideIsReported) {
    auto previous = win32::overrideModulePath(std::wstring(L"/games/x/morvale"));
    wchar_t buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 16u);
    EXPECT_EQ(std::wstring(buffer), L"/games/x/morvale");
    win32::overrideModulePath(previous);
}

TEST(Folders, CurrentDirectoryIsTheProcesssWorkingFolder) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    wchar_t buffer[4096];
    const DWORD length = GetCurrentDirectoryW(4096, buffer);
    EXPECT_EQ(std::wstring(buffer), widen(cwd));
    EXPECT_EQ(length, widen(cwd).size());
}

TEST(Folders, TooSmallBufferGetsTheSizeNeededAndStaysUntouched) {
    auto previous = win32::overrideCurrentDirectory(std::wstring(L"/a/b/c"));
    wchar_t buffer[4] = {L'q', 0, 0, 0};
    EXPECT_EQ(GetCurrentDirectoryW(4, buffer), 7u);  // six characters and the terminator
    EXPECT_EQ(buffer[0], L'q');
    wchar_t exact[7];
    EXPECT_EQ(GetCurrentDirectoryW(7, exact), 6u);
    EXPECT_EQ(std::wstring(exact), L"/a/b/c");
    win32::overrideCurrentDirectory(previous);
}

TEST(Folders, TempPathComesFromTmpdirAndEndsInASeparator) {
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved != nullptr ? saved : "";
    wchar_t buffer[MAX_PATH];

    setenv("TMPDIR", "/var/scratch", 1);
    EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 13u);
    EXPECT_EQ(std::wstring(buffer), L"/var/scratch/");

    setenv("TMPDIR", "/var/scratch/", 1);
    GetTempPathW(MAX_PATH, buffer);
    EXPECT_EQ(std::wstring(buffer), L"/var/scratch/");

    unsetenv("TMPDIR");
    GetTempPathW(MAX_PATH, buffer);
    EXPECT_EQ(std::wstring(buffer), L"/tmp/");

    setenv("TMPDIR", "", 1);
    GetTempPathW(MAX_PATH, buffer);
    EXPECT_EQ(std::wstring(buffer), L"/tmp/");

    if (saved != nullptr) {
        setenv("TMPDIR", savedValue.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

TEST(Files, WriteCreatesAndTruncatesReadOpensExisting) {
    TempFolder folder;
    const std::wstring name = widen((folder.path() / "dump.dmp").string());
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const int fd = win32::fileDescriptorOf(file);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "hello", 5), 5);
    EXPECT_EQ(GetFileSize(file, nullptr), 5u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(win32::fileDescriptorOf(file), -1);

    // CREATE_ALWAYS on an existing file starts it empty again.
    file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 0u);
    EXPECT_EQ(high, 0u);
    CloseHandle(file);

    file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST(Files, BackslashesSeparateToo) {
    TempFolder folder;
    std::ofstream(folder.path() / "a.lua") << "x";
    std::wstring name = widen(folder.path().string()) + L"\\a.lua";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 1u);
    CloseHandle(file);
}

TEST(Files, FailuresReportTheirReason) {
    TempFolder folder;
    const std::wstring missing = widen((folder.path() / "missing.slev").string());
    EXPECT_EQ(CreateFileW(missing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    const std::wstring noFolder = widen((folder.path() / "no" / "x.dmp").string());
    EXPECT_EQ(CreateFileW(noFolder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    // A folder is not a file.
    const std::wstring self = widen(folder.path().string());
    EXPECT_EQ(CreateFileW(self.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    EXPECT_EQ(CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(L"", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(self.c_str(), GENERIC_READ, 0, nullptr, 77, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Files, ClosingWhatIsNoOpenFileFails) {
    int notAHandle = 0;
    EXPECT_FALSE(CloseHandle(&notAHandle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetFileSize(nullptr, nullptr), INVALID_FILE_SIZE);
    EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
}

TEST(Files, ClosingTwiceFailsTheSecondTime) {
    TempFolder folder;
    const std::wstring name = widen((folder.path() / "f").string());
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
}

TEST(Process, IdentitiesAreTheOperatingSystems) {
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
    EXPECT_EQ(GetCurrentThreadId(), static_cast<DWORD>(gettid()));
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)));
}

TEST(LastError, IsKeptPerThreadAsSet) {
    SetLastError(1234);
    EXPECT_EQ(GetLastError(), 1234u);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(DebugOutput, SinkReceivesTheTextAndEmptySinkRestoresStandardError) {
    std::vector<std::wstring> lines;
    auto previous = win32::setDebugOutputSink([&](const std::wstring& s) { lines.push_back(s); });
    OutputDebugStringW(L"[debug] hello\n");
    OutputDebugStringW(nullptr);
    auto mine = win32::setDebugOutputSink(previous);
    EXPECT_TRUE(static_cast<bool>(mine));
    EXPECT_EQ(lines, std::vector<std::wstring>{L"[debug] hello\n"});

    testing::internal::CaptureStderr();
    OutputDebugStringW(L"to stderr \u00e9\u0141\n");
    const std::string written = testing::internal::GetCapturedStderr();
    // Units up to 0xFF go out as their byte, larger ones as UTF-8.
    EXPECT_EQ(written, "to stderr \xe9\xc5\x81\n");
}

TEST(MessageBox, HandlerRecordsWithoutBlocking) {
    std::vector<win32::MessageBoxCall> calls;
    auto previous = win32::setMessageBoxHandler([&](const win32::MessageBoxCall& call) {
        calls.push_back(call);
        return IDOK;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Application terminating: boom", L"std::runtime_error", MB_OK),
              IDOK);
    MessageBoxW(nullptr, nullptr, nullptr, MB_OK);
    win32::setMessageBoxHandler(previous);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, L"Application terminating: boom");
    EXPECT_EQ(calls[0].caption, L"std::runtime_error");
    EXPECT_EQ(calls[1].text, L"");
    EXPECT_EQ(calls[1].caption, L"Error");
}

TEST(MessageBox, WithoutHandlerGoesToStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(nullptr, L"Saved dump file to 'x'", L"morvale", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "morvale: Saved dump file to 'x'\n");
}

TEST(OsText, PathsTurnBackslashesAndReportTheirFullLength) {
    char out[8];
    EXPECT_EQ(win32::encodeForOs(L"a\\b/c", out, sizeof out, true), 5u);
    EXPECT_STREQ(out, "a/b/c");
    EXPECT_EQ(win32::encodeForOs(L"a\\b", out, sizeof out, false), 3u);
    EXPECT_STREQ(out, "a\\b");
    // Cut short: never half a character, always terminated.
    EXPECT_EQ(win32::encodeForOs(L"abcdef\u20ac", out, sizeof out, true), 9u);
    EXPECT_STREQ(out, "abcdef");
    EXPECT_EQ(win32::encodeForOs(L"\U0001F600", out, sizeof out, false), 4u);
    EXPECT_STREQ(out, "\xF0\x9F\x98\x80");
}

}  // namespace
