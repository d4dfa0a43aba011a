#include "tools/artlib/bytes.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace artlib {

namespace {

void save(const std::string& path, const char* data, std::size_t size) {
    const std::filesystem::path file(path);
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

void saveFile(const std::string& path, const Bytes& bytes) {
    save(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void saveFile(const std::string& path, const std::string& text) {
    save(path, text.data(), text.size());
}

}  // namespace artlib
