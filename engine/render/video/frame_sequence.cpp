#include "engine/render/video/frame_sequence.h"

#include <dxerr9.h>

#include <cstdio>

#include "engine/core/log.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"

namespace kesh {
namespace {

constexpr std::uint64_t kHeaderSize = 8;
constexpr std::uint64_t kEntrySize = 8;

std::uint32_t readU32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

std::string hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

// The frame's first four bytes as a number, which names the image format at a glance;
// "?" when the frame has fewer.
std::string signature(const std::uint8_t* data, std::uint32_t size) {
    return data != nullptr && size >= 4 ? hex(readU32(data)) : "?";
}

}  // namespace

FrameSequence::FrameSequence(DxDevice* dxDevice, const std::wstring& path)
    : file(toNarrow(path)), device(dxDevice) {
    if (file.size() >= kHeaderSize) {
        const std::uint32_t claimed = readU32(file.data() + 4);
        const std::uint64_t entries = (file.size() - kHeaderSize) / kEntrySize;
        count = claimed <= entries ? claimed : static_cast<std::uint32_t>(entries);
        tableCut = count < claimed;
        // Past the end of the file when the table is cut: then no frame has data.
        dataStart = kHeaderSize + kEntrySize * claimed;
    }
    logFrames();
}

FrameSequence::Span FrameSequence::span(std::uint32_t index) const {
    Span found;
    if (index >= count) {
        return found;
    }
    const std::uint8_t* entry = file.data() + kHeaderSize + kEntrySize * index;
    found.size = readU32(entry + 4);
    // At most 8 + 8 * 2^32 + 2 * 2^32: no sum here can overflow 64 bits.
    found.offset = dataStart + readU32(entry);
    if (found.offset + found.size <= file.size()) {
        found.data = file.data() + found.offset;
    }
    return found;
}

void FrameSequence::logFrames() const {
    boost::log::Logger& debug = boost::log::logDebug();
    for (std::uint32_t index = 0; index < count; ++index) {
        const Span frame = span(index);
        writeLine(debug, index, ": ", frame.data ? "0x" + hex(frame.offset) : std::string("?"),
                  " ( 0x", signature(frame.data, frame.size), "), l: ", frame.size);
    }
    if (tableCut) {
        writeLine(debug, count, ": ? ( 0x?), l: ?");
    }
}

win32::ComPtr<IDirect3DTexture9> FrameSequence::frame(std::uint32_t index) {
    D3DXIMAGE_INFO image;
    return load(index, image);
}

win32::ComPtr<IDirect3DTexture9> FrameSequence::load(std::uint32_t index, D3DXIMAGE_INFO& image) {
    // Zeroed so that a failed decode reports no format and no size.
    image = D3DXIMAGE_INFO{};
    win32::ComPtr<IDirect3DTexture9> texture;
    const Span frame = span(index);
    boost::log::Logger& debug = boost::log::logDebug();
    if (frame.data == nullptr) {
        writeLine(debug, "  LOAD: ", index, " ? 0x?");
        return texture;
    }
    const HRESULT result = D3DXCreateTextureFromFileInMemoryEx(
        device->getDevice(), frame.data, frame.size, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &image, nullptr,
        texture.out());
    if (FAILED(result)) {
        texture.reset();
        writeLine(debug, DXGetErrorString9A(result));
    }
    writeLine(debug, "  LOAD: ", index, " ", static_cast<unsigned>(image.ImageFileFormat), " 0x",
              signature(frame.data, frame.size));
    return texture;
}

void FrameSequence::frameSize(std::uint32_t& frameWidth, std::uint32_t& frameHeight) {
    if (width == 0 || height == 0) {
        D3DXIMAGE_INFO image{};
        if (count > 0 && load(0, image) && image.Width > 0 && image.Height > 0) {
            width = image.Width;
            height = image.Height;
        } else {
            width = kFallbackWidth;
            height = kFallbackHeight;
        }
    }
    frameWidth = width;
    frameHeight = height;
}

}  // namespace kesh
