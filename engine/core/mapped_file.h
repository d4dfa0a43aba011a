// A whole file mapped read-only into memory, unmapped when the object goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kesh {

class MappedFile {
public:
    MappedFile() = default;
    // Maps the file at path (narrow bytes; '\' is read as '/'; when no file has exactly
    // that name, one whose path differs only in ASCII case is taken). A missing or unreadable
    // file, a directory and an empty file all give an object that is not valid(): an
    // empty file has nothing to map.
    explicit MappedFile(const std::string& path);
    ~MappedFile();

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool valid() const { return data_ != nullptr; }
    // Null and 0 when not valid.
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void unmap();

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace kesh
