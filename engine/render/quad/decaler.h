// Flat textured marks on the ground (lamp light pools, skid marks), drawn in immediate
// mode: cleared at the start of every frame, filled by whoever has marks to show, drawn once
// grouped by texture. Each mark is a square turned about the vertical axis whose corners sit
// at the ground height a GroundHeightSource reports under them.
//
// One dynamic vertex buffer serves every bucket: the first bucket of a render discards it,
// later ones are appended behind without stalling, until the buffer would be full.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <map>
#include <vector>

#include "engine/core/resource.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/device/listener_registration.h"
#include "engine/render/quad/ground_height_source.h"
#include "engine/render/quad/quad_vertices.h"
#include "win32/com_ptr.h"

namespace kesh {

// One queued mark.
struct DecalRecord {
    std::uint32_t color;  // ARGB
    std::uint32_t kind;   // always 1: a square turned about the vertical axis
    float x, y, z;        // the centre; y is carried, the ground gives the height
    float sinHalf;        // the turn as the quaternion (0, sinHalf, 0, cosHalf) about +y
    float cosHalf;
    float size;  // from the centre to each corner
};

class Decaler final : public DeviceListener {
public:
    static constexpr std::size_t kMaxDecalsPerTexture = 1024;
    static constexpr UINT kVertexCapacity = 8000;
    static constexpr UINT kIndexQuads = 2000;

    // Neither is owned; the height source must outlive the decaler. Throws when a buffer
    // cannot be made.
    Decaler(DxDevice* device, GroundHeightSource* heightSource);
    Decaler(const Decaler&) = delete;
    Decaler& operator=(const Decaler&) = delete;

    void OnResetDevice() override;
    void OnLostDevice() override;

    // Queues a mark for this frame; angle in radians about the vertical axis, color ARGB.
    // Beyond the 1024th mark of one texture until the next clear, marks are dropped.
    void addDecal(const ResourceId& texture, const D3DXVECTOR3* position, float angle,
                  std::uint32_t color, float size);
    // Empties every bucket; the buckets and their storage stay.
    void clear();
    // Draws every queued mark with the effect ("decal.fx"): one draw per texture and pass.
    // Throws when the vertex buffer cannot be locked (also while the device is lost), a draw
    // fails or the effect cannot run.
    void render(const CameraView& camera, ID3DXEffect* effect);

    using Buckets = std::map<IDirect3DTexture9*, std::vector<DecalRecord>>;
    const Buckets& buckets() const { return queued; }
    IDirect3DVertexBuffer9* vertexBuffer() const { return vertices.get(); }
    IDirect3DIndexBuffer9* indexBuffer() const { return indices.get(); }

private:
    // Returns the vertex the bucket's marks start at.
    UINT writeBucket(const std::vector<DecalRecord>& records, UINT cursor);

    win32::ComPtr<IDirect3DIndexBuffer9> indices;  // managed: kept across resets
    win32::ComPtr<IDirect3DVertexBuffer9> vertices;
    DxDevice* device;
    GroundHeightSource* heightSource;
    Buckets queued;                     // by texture identity
    ListenerRegistration registration;  // last: made once the index buffer exists
};

}  // namespace kesh
