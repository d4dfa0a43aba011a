#include "tools/arttool/committed_art.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace arttool {

void copyCommittedArt(const ArtOutput& out, const std::string& source) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const artlib::Bytes bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
        out.write(fs::relative(file, source).generic_string(), bytes);
    }
}

}  // namespace arttool
