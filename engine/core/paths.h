// The program's folders and splitting paths. '/' and '\' both separate.
#pragma once

#include <string>

namespace kesh {

// The folder of the program named first on a command line (GetCommandLineW), with its
// trailing separator: the text inside the leading double quotes, or up to the first blank
// when it is not quoted. Empty when that path holds no separator.
std::wstring exeDirectory(const std::wstring& commandLine);

// GetCurrentDirectoryW; empty when it fails or is longer than 259 characters.
std::wstring currentDirectory();

// Up to and including the last separator; empty when there is none.
std::string directoryOf(const std::string& path);

// After the last separator; the whole path when there is none.
std::string fileNameOf(const std::string& path);

}  // namespace kesh
