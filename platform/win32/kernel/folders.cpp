// The program's own path, the current folder and the temp folder.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/seams.h"

namespace {

// The one module this layer knows: the executable. Its handle only has to be unique and
// not null.
char executableModule;

}  // namespace

namespace win32::detail {

std::optional<std::wstring>& modulePathOverride() {
    static std::optional<std::wstring> path;
    return path;
}

std::optional<std::wstring>& currentDirectoryOverride() {
    static std::optional<std::wstring> path;
    return path;
}

std::optional<std::wstring>& tempPathOverride() {
    static std::optional<std::wstring> path;
    return path;
}

long readExecutablePath(char* out, std::size_t capacity) {
    if (capacity == 0) {
        return -1;
    }
    const ssize_t length = ::readlink("/proc/self/exe", out, capacity - 1);
    if (length < 0) {
        return -1;
    }
    out[length] = '\0';
    return static_cast<long>(length);
}

}  // namespace win32::detail

using namespace win32::detail;

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    if (moduleName != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&executableModule);
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module != nullptr && module != GetModuleHandleW(nullptr)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    char bytes[PATH_MAX];
    const wchar_t* wide = nullptr;
    std::size_t length = 0;
    if (modulePathOverride()) {
        wide = modulePathOverride()->c_str();
        length = modulePathOverride()->size();
    } else {
        const long read = readExecutablePath(bytes, sizeof bytes);
        if (read < 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        length = static_cast<std::size_t>(read);
    }
    // Windows truncates to what fits, still terminated, and reports the buffer size.
    const bool fits = length < size;
    const std::size_t copied = fits ? length : size - 1;
    for (std::size_t i = 0; i < copied; ++i) {
        fileName[i] =
            wide != nullptr ? wide[i] : static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    }
    fileName[copied] = L'\0';
    if (!fits) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(length);
}

DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer) {
    if (currentDirectoryOverride()) {
        const std::wstring& path = *currentDirectoryOverride();
        return copyOut(path.c_str(), path.size(), bufferLength, buffer);
    }
    char bytes[PATH_MAX];
    if (::getcwd(bytes, sizeof bytes) == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return copyOutBytes(bytes, std::strlen(bytes), bufferLength, buffer);
}

DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) {
    if (tempPathOverride()) {
        const std::wstring& path = *tempPathOverride();
        return copyOut(path.c_str(), path.size(), bufferLength, buffer);
    }
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') {
        folder = "/tmp/";
    }
    char bytes[PATH_MAX];
    std::size_t length = std::strlen(folder);
    if (length + 2 > sizeof bytes) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    std::memcpy(bytes, folder, length);
    if (bytes[length - 1] != '/') {
        bytes[length++] = '/';
    }
    return copyOutBytes(bytes, length, bufferLength, buffer);
}

namespace win32 {

std::optional<std::wstring> overrideModulePath(std::optional<std::wstring> path) {
    return std::exchange(modulePathOverride(), std::move(path));
}

std::optional<std::wstring> overrideCurrentDirectory(std::optional<std::wstring> path) {
    return std::exchange(currentDirectoryOverride(), std::move(path));
}

std::optional<std::wstring> overrideTempPath(std::optional<std::wstring> path) {
    return std::exchange(tempPathOverride(), std::move(path));
}

}  // namespace win32
