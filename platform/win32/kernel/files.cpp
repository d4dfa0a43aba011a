// File handles: CreateFileW and friends over POSIX descriptors.
//
// Handles are slots of a fixed table rather than heap objects, so that the crash path can
// create and close its dump file without allocating.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/posix.h"

namespace {

constexpr int kFreeSlot = -1;
constexpr std::size_t kMaxOpenFiles = 256;

struct FileSlot {
    std::atomic<int> fd{kFreeSlot};
};

FileSlot fileSlots[kMaxOpenFiles];

FileSlot* slotOf(HANDLE handle) {
    const auto address = reinterpret_cast<std::uintptr_t>(handle);
    const auto first = reinterpret_cast<std::uintptr_t>(&fileSlots[0]);
    const auto end = reinterpret_cast<std::uintptr_t>(&fileSlots[kMaxOpenFiles]);
    if (address < first || address >= end || (address - first) % sizeof(FileSlot) != 0) {
        return nullptr;
    }
    return &fileSlots[(address - first) / sizeof(FileSlot)];
}

HANDLE allocateSlot(int fd) {
    for (FileSlot& slot : fileSlots) {
        int expected = kFreeSlot;
        if (slot.fd.compare_exchange_strong(expected, fd)) {
            return &slot;
        }
    }
    return nullptr;
}

int openFlags(DWORD access, DWORD disposition, bool& valid) {
    valid = true;
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC;
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (disposition) {
        case CREATE_NEW:
            return flags | O_CREAT | O_EXCL;
        case CREATE_ALWAYS:
            return flags | O_CREAT | O_TRUNC;
        case OPEN_EXISTING:
            return flags;
        case OPEN_ALWAYS:
            return flags | O_CREAT;
        case TRUNCATE_EXISTING:
            return flags | O_TRUNC;
        default:
            valid = false;
            return flags;
    }
}

// Windows tells a missing folder (ERROR_PATH_NOT_FOUND) from a missing file.
bool parentExists(char* path) {
    char* slash = nullptr;
    for (char* c = path; *c != '\0'; ++c) {
        if (*c == '/') {
            slash = c;
        }
    }
    if (slash == nullptr) {
        return true;  // the current folder
    }
    if (slash == path) {
        return true;  // the root
    }
    *slash = '\0';
    struct stat info {};
    const bool exists = ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
    *slash = '/';
    return exists;
}

}  // namespace

namespace win32 {

int fileDescriptorOf(HANDLE file) {
    FileSlot* slot = slotOf(file);
    return slot != nullptr ? slot->fd.load() : -1;
}

DWORD errorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EIO:
            return ERROR_WRITE_FAULT;
        default:
            return ERROR_GEN_FAILURE;
    }
}

}  // namespace win32

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD creationDisposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    if (fileName == nullptr || fileName[0] == L'\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool valid = false;
    const int flags = openFlags(desiredAccess, creationDisposition, valid);
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    char path[PATH_MAX];
    if (win32::encodeForOs(fileName, path, sizeof path, true) >= sizeof path) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    int fd = -1;
    do {
        fd = ::open(path, flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        SetLastError(error == ENOENT && !parentExists(path) ? ERROR_PATH_NOT_FOUND
                                                            : win32::errorFromErrno(error));
        return INVALID_HANDLE_VALUE;
    }
    // Windows refuses to open a folder as a file.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = allocateSlot(fd);
    if (handle == nullptr) {
        ::close(fd);
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return handle;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    const int fd = win32::fileDescriptorOf(file);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (fileSizeHigh != nullptr) {
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL CloseHandle(HANDLE object) {
    if (object == GetCurrentProcess()) {
        return TRUE;  // the pseudo handle needs no closing
    }
    FileSlot* slot = slotOf(object);
    const int fd = slot != nullptr ? slot->fd.exchange(kFreeSlot) : kFreeSlot;
    if (fd == kFreeSlot) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ::close(fd);
    return TRUE;
}
