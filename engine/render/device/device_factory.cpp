#include "engine/render/device/device_factory.h"

#include <algorithm>
#include <sstream>

#include "engine/core/errors.h"
#include "engine/render/device/format_name.h"
#include "engine/render/log_lines.h"

namespace kesh {

namespace {

using boost::log::logVideo;

const D3DFORMAT displayFormats[] = {D3DFMT_A1R5G5B5, D3DFMT_A2R10G10B10, D3DFMT_A8R8G8B8,
                                    D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5,    D3DFMT_X8R8G8B8};

struct DepthCandidate {
    D3DFORMAT format;
    int depth;
    int stencil;
};

const DepthCandidate depthCandidates[] = {{D3DFMT_D16_LOCKABLE, 16, 0}, {D3DFMT_D32, 32, 0},
                                          {D3DFMT_D15S1, 15, 1},        {D3DFMT_D24S8, 24, 8},
                                          {D3DFMT_D24X8, 24, 0},        {D3DFMT_D24X4S4, 24, 4},
                                          {D3DFMT_D24FS8, 24, 8},       {D3DFMT_D16, 16, 0}};

std::string name(D3DFORMAT format) {
    return asciiOf(formatName(format));
}

}  // namespace

DxDeviceFactory::DxDeviceFactory(IDirect3D9* direct3d) : direct3d_(direct3d) {
    enumerateAdapters();
    initDefaultSettings();
}

DxDeviceFactory::~DxDeviceFactory() = default;

void DxDeviceFactory::enumerateAdapters() {
    const UINT count = direct3d_->GetAdapterCount();
    for (UINT i = 0; i < count; ++i) {
        auto adapter = std::make_unique<Adapter>();
        direct3d_->GetAdapterIdentifier(i, 0, &adapter->identifier);
        direct3d_->GetDeviceCaps(i, deviceType_, &adapter->caps);
        for (D3DFORMAT format : displayFormats) {
            const UINT modes = direct3d_->GetAdapterModeCount(i, format);
            for (UINT k = 0; k < modes; ++k) {
                D3DDISPLAYMODE mode{};
                if (SUCCEEDED(direct3d_->EnumAdapterModes(i, format, k, &mode))) {
                    adapter->modes[format].push_back(mode);
                }
            }
        }

        const D3DCAPS9& caps = adapter->caps;
        writeLine(logVideo(), "Adapter ", i, ": ", adapter->identifier.DeviceName);
        writeLine(logVideo(), "  Description: ", adapter->identifier.Description);
        writeLine(logVideo(), "  Driver: ", adapter->identifier.Driver);
        writeLine(logVideo(),
                  "  Vertex Shader: ", D3DSHADER_VERSION_MAJOR(caps.VertexShaderVersion), ".",
                  D3DSHADER_VERSION_MINOR(caps.VertexShaderVersion));
        writeLine(logVideo(), "  Pixel Shader: ", D3DSHADER_VERSION_MAJOR(caps.PixelShaderVersion),
                  ".", D3DSHADER_VERSION_MINOR(caps.PixelShaderVersion));
        writeLine(logVideo(), "  Fullscreen Formats: ", adapter->modes.size());

        // The map keeps formats in ascending value.
        for (const auto& entry : adapter->modes) {
            writeLine(logVideo(), name(entry.first), ":");
            const auto& modes = entry.second;
            for (size_t first = 0; first < modes.size(); first += 8) {
                std::ostringstream text;
                text << "       ";
                const size_t last = std::min(modes.size(), first + 8);
                for (size_t k = first; k < last; ++k) {
                    text << modes[k].Width << "x" << modes[k].Height << "@" << modes[k].RefreshRate;
                    if (k + 1 < last) {
                        text << ", ";
                    }
                }
                writeLine(logVideo(), text.str());
            }
        }
        adapters_.push_back(std::move(adapter));
    }
}

void DxDeviceFactory::initDefaultSettings() {
    D3DCAPS9 caps{};
    direct3d_->GetDeviceCaps(0, deviceType_, &caps);
    const bool pure = (caps.DevCaps & D3DDEVCAPS_PUREDEVICE) != 0;
    const bool shaders = (caps.VertexShaderVersion & 0xFFFF) >= 0x100;
    behaviourFlags_ = pure && shaders ? D3DCREATE_PUREDEVICE | D3DCREATE_HARDWARE_VERTEXPROCESSING
                                      : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    behaviourFlags_ |= D3DCREATE_MULTITHREADED;

    D3DDISPLAYMODE desktop{};
    if (!getDisplayMode(0, desktop)) {
        desktop = D3DDISPLAYMODE{};
    }
    presentParameters_ = D3DPRESENT_PARAMETERS{};
    presentParameters_.Windowed = TRUE;
    presentParameters_.BackBufferWidth = 0;
    presentParameters_.BackBufferHeight = 0;
    presentParameters_.BackBufferFormat = desktop.Format;
    presentParameters_.BackBufferCount = 1;
    presentParameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
}

bool DxDeviceFactory::getDisplayMode(UINT adapter, D3DDISPLAYMODE& mode) {
    if (FAILED(direct3d_->GetAdapterDisplayMode(adapter, &mode))) {
        writeLine(logVideo(), "GetAdapterDisplayMode for ", adapter, " adapter failed");
        return false;
    }
    return true;
}

D3DFORMAT DxDeviceFactory::findDepthStencilFormat(UINT adapter, D3DFORMAT adapterFormat,
                                                  D3DFORMAT renderTargetFormat, int depthBits,
                                                  int stencilBits) {
    std::vector<DepthCandidate> kept;
    for (const DepthCandidate& candidate : depthCandidates) {
        if (SUCCEEDED(direct3d_->CheckDeviceFormat(adapter, deviceType_, adapterFormat,
                                                   D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                                   candidate.format)) &&
            SUCCEEDED(direct3d_->CheckDepthStencilMatch(adapter, deviceType_, adapterFormat,
                                                        renderTargetFormat, candidate.format))) {
            kept.push_back(candidate);
        }
    }
    // Most bits first; of equal candidates the later one in the table.
    std::reverse(kept.begin(), kept.end());
    std::stable_sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
        return a.depth != b.depth ? a.depth > b.depth : a.stencil > b.stencil;
    });

    boost::log::LogLine line(logVideo());
    if (line.stream()) {
        *line.stream() << "  Supported depth/stencil formats: ";
        for (const DepthCandidate& candidate : kept) {
            *line.stream() << name(candidate.format) << " ";
        }
        *line.stream() << std::endl;
    }
    for (const DepthCandidate& candidate : kept) {
        if (candidate.depth == depthBits && candidate.stencil == stencilBits) {
            return candidate.format;
        }
    }
    return D3DFMT_UNKNOWN;
}

bool DxDeviceFactory::selectDepthStencil(int depthBits, int stencilBits) {
    const D3DFORMAT format =
        findDepthStencilFormat(0, presentParameters_.BackBufferFormat,
                               presentParameters_.BackBufferFormat, depthBits, stencilBits);
    const bool found = format != D3DFMT_UNKNOWN;
    if (found) {
        writeLine(logVideo(), "  Depth/Stencil selected: ", name(format));
        presentParameters_.AutoDepthStencilFormat = format;
    }
    presentParameters_.EnableAutoDepthStencil = found ? TRUE : FALSE;
    return found;
}

D3DDISPLAYMODE DxDeviceFactory::findModeByResolution(UINT adapter, UINT width, UINT height,
                                                     int refresh) {
    if (adapter >= adapters_.size()) {
        return D3DDISPLAYMODE{};
    }
    std::vector<D3DDISPLAYMODE> found;
    for (const auto& entry : adapters_[adapter]->modes) {
        for (const D3DDISPLAYMODE& mode : entry.second) {
            if (mode.Width == width && mode.Height == height &&
                (refresh == -1 || mode.RefreshRate == static_cast<UINT>(refresh))) {
                found.push_back(mode);
            }
        }
    }
    writeLine(logVideo(), "DxDeviceFactory::findModeByResolution(", adapter, "): ", width, " x ",
              height, " @ ", refresh, " : ", found.size());
    if (found.empty()) {
        return D3DDISPLAYMODE{};
    }
    // Smallest format value, then highest refresh rate; the first such mode wins.
    const D3DDISPLAYMODE* best = &found.front();
    for (const D3DDISPLAYMODE& mode : found) {
        if (mode.Format < best->Format ||
            (mode.Format == best->Format && mode.RefreshRate > best->RefreshRate)) {
            best = &mode;
        }
    }
    return *best;
}

bool DxDeviceFactory::selectFullscreen(UINT width, UINT height, int, int) {
    const D3DDISPLAYMODE mode = findModeByResolution(0, width, height, -1);
    if (mode.Format == D3DFMT_UNKNOWN) {
        return false;
    }
    presentParameters_.BackBufferWidth = mode.Width;
    presentParameters_.BackBufferHeight = mode.Height;
    presentParameters_.FullScreen_RefreshRateInHz = mode.RefreshRate;
    presentParameters_.BackBufferFormat = mode.Format;
    presentParameters_.Windowed = FALSE;
    fullscreen_ = true;
    writeLine(logVideo(), "  Fullscreen selected: ", mode.Width, " x ", mode.Height, " @ ",
              mode.RefreshRate, " : ", name(mode.Format));
    return true;
}

void DxDeviceFactory::selectWindowed() {
    D3DDISPLAYMODE desktop{};
    if (!getDisplayMode(0, desktop)) {
        desktop = D3DDISPLAYMODE{};
    }
    presentParameters_.Windowed = TRUE;
    presentParameters_.BackBufferWidth = 0;
    presentParameters_.BackBufferHeight = 0;
    presentParameters_.FullScreen_RefreshRateInHz = 0;
    presentParameters_.BackBufferFormat = desktop.Format;
    fullscreen_ = false;
}

win32::ComPtr<IDirect3DDevice9> DxDeviceFactory::createDevice(HWND window) {
    writeLine(logVideo(), "Creating device: ", "fullscreen: ", fullscreen_,
              " type: ", static_cast<int>(deviceType_), " hwnd: ", static_cast<const void*>(window),
              " behaviour flags: ", behaviourFlags_);
    writeLine(logVideo(), "  Params: ", presentParameters_.BackBufferWidth, " x ",
              presentParameters_.BackBufferHeight, " @ ",
              presentParameters_.FullScreen_RefreshRateInHz, " : ",
              name(presentParameters_.BackBufferFormat));
    win32::ComPtr<IDirect3DDevice9> device;
    const HRESULT result = direct3d_->CreateDevice(0, deviceType_, window, behaviourFlags_,
                                                   &presentParameters_, device.out());
    if (FAILED(result)) {
        throwDxError(result, L"Cannot create Direct3D9 device");
    }
    writeLine(logVideo(), "Device created");
    return device;
}

}  // namespace kesh
