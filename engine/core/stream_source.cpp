#include "engine/core/stream_source.h"

#include <cstring>
#include <limits>
#include <utility>

namespace kesh {

namespace {

// Wide paths hold code points; the file system takes UTF-8 bytes.
std::string toFileSystemPath(const std::wstring& path) {
    std::string bytes;
    bytes.reserve(path.size());
    for (const wchar_t unit : path) {
        const auto c = static_cast<std::uint32_t>(unit);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

}  // namespace

FileMappedSource::FileMappedSource(MappedRange begin, MappedRange end)
    : begin_(std::move(begin)), end_(std::move(end)) {}

std::uint32_t FileMappedSource::read(void* buffer, std::uint32_t count) {
    const std::uint32_t copied = count < remaining() ? count : remaining();
    if (copied > 0) {
        std::memcpy(buffer, begin_.cursor, copied);
        begin_.cursor += copied;
    }
    return copied;
}

std::uint32_t FileMappedSource::remaining() const {
    return static_cast<std::uint32_t>(end_.cursor - begin_.cursor);
}

std::unique_ptr<FileMappedSource> makeFileSource(const std::wstring& path) {
    auto file = std::make_shared<MappedFile>(toFileSystemPath(path));
    // Sizes and offsets in the stream format are 32-bit.
    if (!file->valid() || file->size() > std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    const auto size = static_cast<std::uint32_t>(file->size());
    const std::uint8_t* view = file->data();
    std::shared_ptr<const MappedFile> shared = std::move(file);
    return std::make_unique<FileMappedSource>(
        FileMappedSource::MappedRange{shared, size, view},
        FileMappedSource::MappedRange{shared, size, view + size});
}

std::unique_ptr<StreamSource> openStreamSource(const std::wstring& path) {
    return makeFileSource(path);
}

}  // namespace kesh
