// The frames of a ".rs" video: a table of frames followed by the frames themselves, each a
// complete image file, turned into a texture on demand. The file is mapped, never copied.
//
// Layout, all numbers u32 little-endian: 4 bytes not read, the frame count N, then per frame
// its offset (counted from the end of the table) and its size, then the frame data. Nothing
// in the file is trusted: a frame whose table entry or bytes lie outside the file simply
// has no picture.
#pragma once

#include <d3d9.h>
#include <d3dx9tex.h>

#include <cstdint>
#include <string>

#include "engine/core/mapped_file.h"
#include "engine/render/device/dx_device.h"
#include "win32/com_ptr.h"

namespace kesh {

class FrameSequence {
public:
    // Used when the file has no frame 0 to measure.
    static constexpr std::uint32_t kFallbackWidth = 320;
    static constexpr std::uint32_t kFallbackHeight = 240;

    // A missing or unreadable file gives a sequence without frames. Logs one line per frame
    // on "debug".
    FrameSequence(DxDevice* device, const std::wstring& path);
    virtual ~FrameSequence() = default;
    FrameSequence(const FrameSequence&) = delete;
    FrameSequence& operator=(const FrameSequence&) = delete;

    // A new managed texture of frame index, sized up to powers of two with the image in its
    // top-left corner; null when the frame is missing or cannot be decoded (logged on
    // "debug").
    virtual win32::ComPtr<IDirect3DTexture9> frame(std::uint32_t index);
    // The image size of frame 0, measured once; 320 x 240 when there is none.
    virtual void frameSize(std::uint32_t& width, std::uint32_t& height);
    // The frames the file's table holds: its count, cut to the entries inside the file.
    virtual std::uint32_t frameCount() const { return count; }

private:
    struct Span {
        const std::uint8_t* data = nullptr;  // null when the frame lies outside the file
        std::uint32_t size = 0;
        std::uint64_t offset = 0;  // from the start of the file
    };
    Span span(std::uint32_t index) const;
    // frame(index), with the image's own description in image.
    win32::ComPtr<IDirect3DTexture9> load(std::uint32_t index, D3DXIMAGE_INFO& image);
    void logFrames() const;

    MappedFile file;
    DxDevice* device;  // not owned
    std::uint32_t count = 0;
    bool tableCut = false;        // the file claims more frames than its table holds
    std::uint64_t dataStart = 0;  // where the claimed table ends
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

}  // namespace kesh
