// Game paths to file-system paths. The game's paths mix '\' and '/', and its art names may
// differ in case from the files on disk.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace win32 {

// The existing path that a game path names: '\' read as '/', and each component that does
// not exist as written matched without regard to (ASCII) case. Nothing when there is none.
std::optional<std::string> findExistingPath(const std::string& path);

// What makes two names one file: the same for every name of it (links, "..", case), so a
// reader can keep one copy of a file however the art spells it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// The identity of the file that a game path names, as findExistingPath finds it. Nothing
// when there is no such file.
std::optional<FileIdentity> identifyFile(const std::string& path);

// Whether the file or folder that a game path names lies inside folder (itself included),
// with links and ".." resolved first, so no spelling of a path reaches outside it. False when
// either does not exist.
bool isInsideFolder(const std::string& path, const std::string& folder);

}  // namespace win32
