#include <dbghelp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

class MiniDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "morvale-dump-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    HANDLE create(const std::string& name) {
        const std::string path = (folder_ / name).string();
        const std::wstring wide(path.begin(), path.end());
        return CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    std::string read(const std::string& name) {
        std::ifstream file(folder_ / name);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder_;
};

TEST_F(MiniDumpTest, SignalReportHoldsSignalAddressBacktraceAndMap) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.Signal = 11;
    record.SignalCode = 1;
    record.FaultAddress = reinterpret_cast<void*>(0x10);
    CONTEXT context{};
    context.InstructionPointer = 0x401000;
    context.StackPointer = 0x7ffd0000;
    EXCEPTION_POINTERS pointers{&record, &context};
    MINIDUMP_EXCEPTION_INFORMATION info{GetCurrentThreadId(), &pointers, FALSE};

    HANDLE file = create("a.dmp");
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                  &info, nullptr, nullptr));
    CloseHandle(file);

    const std::string report = read("a.dmp");
    std::ostringstream ids;
    ids << "Process: " << getpid() << ", thread: " << gettid();
    EXPECT_NE(report.find(ids.str()), std::string::npos) << report;
    EXPECT_NE(report.find("Exception code: 0xc0000005"), std::string::npos);
    EXPECT_NE(report.find("Signal: 11 SIGSEGV"), std::string::npos);
    EXPECT_NE(report.find("Fault address: 0x0000000000000010"), std::string::npos);
    EXPECT_NE(report.find("Instruction pointer: 0x0000000000401000"), std::string::npos);
    EXPECT_NE(report.find("\nBacktrace:\n"), std::string::npos);
    // The backtrace names this test binary (linked with -rdynamic).
    const std::string binary = std::filesystem::read_symlink("/proc/self/exe").filename();
    EXPECT_NE(report.find(binary), std::string::npos) << binary;
    EXPECT_NE(report.find("\nMemory map:\n"), std::string::npos);
    EXPECT_NE(report.find("[stack]"), std::string::npos);
}

TEST_F(MiniDumpTest, ExceptionReportCarriesItsText) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_CXX_EXCEPTION;
    record.Description = "std::runtime_error: Failed to get viewport";
    CONTEXT context{};
    EXCEPTION_POINTERS pointers{&record, &context};
    MINIDUMP_EXCEPTION_INFORMATION info{GetCurrentThreadId(), &pointers, FALSE};

    HANDLE file = create("b.dmp");
    ASSERT_TRUE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                  &info, nullptr, nullptr));
    CloseHandle(file);
    const std::string report = read("b.dmp");
    EXPECT_NE(report.find("Unhandled C++ exception: std::runtime_error: Failed to get viewport"),
              std::string::npos);
    EXPECT_EQ(report.find("Signal:"), std::string::npos);
    EXPECT_EQ(report.find("Instruction pointer"), std::string::npos);
}

TEST_F(MiniDumpTest, MissingExceptionInformationIsSaidNotFatal) {
    HANDLE file = create("c.dmp");
    ASSERT_TRUE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                  nullptr, nullptr, nullptr));
    CloseHandle(file);
    EXPECT_NE(read("c.dmp").find("Exception: none given"), std::string::npos);
}

TEST_F(MiniDumpTest, RefusesBadHandlesAndOtherProcesses) {
    int notAFile = 0;
    EXPECT_FALSE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), &notAFile,
                                   MiniDumpNormal, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), INVALID_HANDLE_VALUE,
                                   MiniDumpNormal, nullptr, nullptr, nullptr));

    HANDLE file = create("d.dmp");
    EXPECT_FALSE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId() + 1, file,
                                   MiniDumpNormal, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(file);
}

TEST_F(MiniDumpTest, WriteFailureIsReportedAsFailure) {
    // /dev/full accepts the open and fails every write with ENOSPC.
    HANDLE file = CreateFileW(L"/dev/full", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "no /dev/full here";
    }
    EXPECT_FALSE(MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal,
                                   nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    CloseHandle(file);
}

}  // namespace
