#include "engine/core/paths.h"

#include <windows.h>

namespace kesh {

std::wstring exeDirectory(const std::wstring& commandLine) {
    std::wstring program;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find_first_of(L'"', 1);
        program =
            commandLine.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    } else {
        program = commandLine.substr(0, commandLine.find(L' '));
    }
    const std::size_t separator = program.find_last_of(L"/\\");
    return separator == std::wstring::npos ? std::wstring() : program.substr(0, separator + 1);
}

std::wstring currentDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    return buffer;
}

std::string directoryOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace kesh
