// Byte sources for the stream reader, and the one over a memory-mapped file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/mapped_file.h"

namespace kesh {

class StreamSource {
public:
    virtual ~StreamSource() = default;
    // Copies up to count bytes; fewer only at the end of the data. May throw a
    // std::exception, which the reader turns into its bad state.
    virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
    // Bytes not yet read, and the size of the whole data. The reader bounds the counts
    // and lengths it finds by them, so corrupted data cannot ask for a huge allocation.
    virtual std::uint32_t remaining() const = 0;
    virtual std::uint32_t size() const = 0;
};

// A whole file through a read-only mapping, read front to back.
class FileMappedSource : public StreamSource {
public:
    // A position in the shared view; both ends of the source hold the view.
    struct MappedRange {
        std::shared_ptr<const MappedFile> view;
        std::uint32_t size = 0;
        const std::uint8_t* cursor = nullptr;
    };

    FileMappedSource(MappedRange begin, MappedRange end);

    std::uint32_t read(void* buffer, std::uint32_t count) override;
    std::uint32_t remaining() const override;
    std::uint32_t size() const override { return begin_.size; }

private:
    MappedRange begin_;
    MappedRange end_;
};

// Null when the file cannot be opened or mapped (a missing or an empty file).
std::unique_ptr<FileMappedSource> makeFileSource(const std::wstring& path);
std::unique_ptr<StreamSource> openStreamSource(const std::wstring& path);

}  // namespace kesh
