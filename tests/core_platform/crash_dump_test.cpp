#include "engine/core/crash_dump.h"

#include <dbghelp.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <win32/seams.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::wstring widen(const std::string& bytes) {
    return std::wstring(bytes.begin(), bytes.end());
}

// The dump names a process writing now could give: one for every second of the window.
std::vector<std::string> namesBetween(const std::string& app, time_t from, time_t to) {
    std::vector<std::string> names;
    for (time_t t = from; t <= to; ++t) {
        tm utc{};
        gmtime_r(&t, &utc);
        char name[128];
        std::snprintf(name, sizeof name, "%s-crash-%02d_%02d_%02d-%02d_%02d-%02d.dmp", app.c_str(),
                      utc.tm_year % 100, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                      utc.tm_sec);
        names.push_back(name);
    }
    return names;
}

// Called through a volatile pointer so the compiler cannot see that it always throws.
void throwFailure() {
    throw std::runtime_error("Application terminating: Failed to get viewport");
}
void (*volatile throwViewportFailure)() = throwFailure;

class CrashDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "morvale-crash-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<fs::path> dumps() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            if (entry.path().extension() == ".dmp") {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    // Runs body in a child process that reports into the test folder, with its standard
    // error in the file "stderr"; returns the wait status.
    template <typename Body>
    int runChild(Body body) {
        const pid_t child = fork();
        if (child == 0) {
            const int err = open((folder_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            // The crash is the point: no core file next to the tests.
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            win32::overrideModulePath(widen((folder_ / "morvale").string()));
            body();
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }

    fs::path folder_;
};

// The filter called directly, as the seams allow, with a fixed clock.
TEST_F(CrashDumpTest, FilterWritesTheNamedDumpAndSaysWhere) {
    auto previousPath = win32::overrideModulePath(widen((folder_ / "morvale").string()));
    auto previousTime =
        win32::setSystemTimeSource([] { return SYSTEMTIME{2006, 1, 1, 2, 14, 3, 9, 0}; });
    std::vector<win32::MessageBoxCall> boxes;
    auto previousBox = win32::setMessageBoxHandler([&](const win32::MessageBoxCall& call) {
        boxes.push_back(call);
        return IDOK;
    });

    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_CXX_EXCEPTION;
    record.Description = "std::runtime_error: boom";
    CONTEXT context{};
    EXCEPTION_POINTERS pointers{&record, &context};
    const LONG result = kesh::writeCrashDump(&pointers);

    win32::setMessageBoxHandler(previousBox);
    win32::setSystemTimeSource(previousTime);
    win32::overrideModulePath(previousPath);

    // The application name is empty until installCrashHandler runs (it runs only in the
    // children below, since it installs process-wide handlers).
    const fs::path expected = folder_ / "-crash-06_01_02-14_03-09.dmp";
    EXPECT_EQ(result, EXCEPTION_EXECUTE_HANDLER);
    ASSERT_TRUE(fs::exists(expected));
    EXPECT_NE(readFile(expected).find("Unhandled C++ exception: std::runtime_error: boom"),
              std::string::npos);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Saved dump file to '" + widen(expected.string()) + L"'");
    EXPECT_EQ(boxes[0].type, MB_OK);
}

TEST_F(CrashDumpTest, FolderThatCannotBeWrittenGivesTheFailureMessage) {
    auto previousPath =
        win32::overrideModulePath(widen((folder_ / "missing" / "morvale").string()));
    std::vector<std::wstring> texts;
    auto previousBox = win32::setMessageBoxHandler([&](const win32::MessageBoxCall& call) {
        texts.push_back(call.text);
        return IDOK;
    });
    const LONG result = kesh::writeCrashDump(nullptr);
    win32::setMessageBoxHandler(previousBox);
    win32::overrideModulePath(previousPath);

    EXPECT_EQ(result, EXCEPTION_CONTINUE_SEARCH);
    ASSERT_EQ(texts.size(), 1u);
    // The time stamp between these is "YY_MM_DD-HH_MM-SS", 17 characters.
    const std::wstring prefix =
        L"Failed to create dump file '" + widen((folder_ / "missing").string()) + L"/-crash-";
    const std::wstring suffix = L".dmp' (error 3)";
    const std::wstring& text = texts[0];
    EXPECT_EQ(text.size(), prefix.size() + 17 + suffix.size());
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), suffix.size())), suffix);
}

TEST_F(CrashDumpTest, ModuleWithoutFolderFallsBackToTheTempFolder) {
    auto previousPath = win32::overrideModulePath(std::wstring(L"morvale"));
    auto previousTemp = win32::overrideTempPath(widen(folder_.string() + "/"));
    auto previousBox =
        win32::setMessageBoxHandler([](const win32::MessageBoxCall&) { return IDOK; });
    EXPECT_EQ(kesh::writeCrashDump(nullptr), EXCEPTION_EXECUTE_HANDLER);
    win32::setMessageBoxHandler(previousBox);
    win32::overrideTempPath(previousTemp);
    win32::overrideModulePath(previousPath);
    EXPECT_EQ(dumps().size(), 1u);
}

TEST_F(CrashDumpTest, SegmentationFaultWritesTheReportAndEndsBySigsegv) {
    const time_t before = time(nullptr);
    const int status = runChild([] {
        kesh::installCrashHandler(L"morvale");
        volatile std::uintptr_t address = 0x10;
        *reinterpret_cast<volatile int*>(address) = 1;
    });
    const time_t after = time(nullptr);

    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    const std::vector<fs::path> found = dumps();
    ASSERT_EQ(found.size(), 1u);
    const std::vector<std::string> names = namesBetween("morvale", before, after);
    EXPECT_NE(std::find(names.begin(), names.end(), found[0].filename().string()), names.end())
        << found[0];

    const std::string report = readFile(found[0]);
    EXPECT_NE(report.find("Signal: 11 SIGSEGV"), std::string::npos) << report;
    EXPECT_NE(report.find("Fault address: 0x0000000000000010"), std::string::npos);
    EXPECT_NE(report.find("Backtrace:\n"), std::string::npos);
    const std::string binary = fs::read_symlink("/proc/self/exe").filename();
    EXPECT_NE(report.find(binary), std::string::npos) << binary;
    EXPECT_NE(report.find("[stack]"), std::string::npos);
    EXPECT_EQ(readFile(folder_ / "stderr"),
              "morvale: Saved dump file to '" + found[0].string() + "'\n");
}

TEST_F(CrashDumpTest, UncaughtExceptionEndsInTheReportWithItsText) {
    const int status = runChild([] {
        kesh::installCrashHandler(L"morvale");
        // An exception that nothing catches reaches std::terminate.
        [&]() noexcept { throwViewportFailure(); }();
    });

    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    const std::vector<fs::path> found = dumps();
    ASSERT_EQ(found.size(), 1u);
    const std::string report = readFile(found[0]);
    EXPECT_NE(report.find("Unhandled C++ exception: std::runtime_error: Application "
                          "terminating: Failed to get viewport"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("Signal:"), std::string::npos);
    EXPECT_NE(readFile(folder_ / "stderr").find("morvale: Saved dump file to '"),
              std::string::npos);
}

TEST_F(CrashDumpTest, TerminateWithoutAnExceptionIsReportedAsSuch) {
    const int status = runChild([] {
        kesh::installCrashHandler(L"morvale");
        std::terminate();
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    ASSERT_EQ(dumps().size(), 1u);
    EXPECT_NE(readFile(dumps()[0]).find("std::terminate called without an active exception"),
              std::string::npos);
}

TEST_F(CrashDumpTest, StackOverflowIsReportedFromTheAlternateStack) {
    const int status = runChild([] {
        kesh::installCrashHandler(L"morvale");
        struct Recurse {
            static int down(int depth) {
                if (depth == std::numeric_limits<int>::max()) {
                    return 0;
                }
                volatile char frame[4096];
                frame[0] = static_cast<char>(depth);
                return down(depth + 1) + frame[0];
            }
        };
        Recurse::down(0);
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    ASSERT_EQ(dumps().size(), 1u);
    EXPECT_NE(readFile(dumps()[0]).find("Signal: 11 SIGSEGV"), std::string::npos);
}

class CrashSignalTest : public CrashDumpTest, public ::testing::WithParamInterface<int> {};

TEST_P(CrashSignalTest, EachFatalSignalIsReportedAndEndsTheProcessByItself) {
    const int signal = GetParam();
    const int status = runChild([signal] {
        kesh::installCrashHandler(L"morvale");
        raise(signal);
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), signal);
    ASSERT_EQ(dumps().size(), 1u);
    EXPECT_NE(readFile(dumps()[0]).find("Signal: " + std::to_string(signal) + " "),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(FatalSignals, CrashSignalTest,
                         ::testing::Values(SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT));

TEST_F(CrashDumpTest, LongApplicationNamesKeep127Characters) {
    const std::wstring longName(200, L'n');
    const int status = runChild([&] {
        kesh::installCrashHandler(longName.c_str());
        kesh::writeCrashDump(nullptr);
    });
    ASSERT_TRUE(WIFEXITED(status));
    const std::vector<fs::path> found = dumps();
    ASSERT_EQ(found.size(), 1u);
    const std::string name = found[0].filename().string();
    EXPECT_EQ(name.find("-crash-"), 127u) << name;
    EXPECT_EQ(name.substr(0, 127), std::string(127, 'n'));
    // The caption of the box carries the same name.
    EXPECT_EQ(readFile(folder_ / "stderr").substr(0, 129), std::string(127, 'n') + ": ");
}

}  // namespace
