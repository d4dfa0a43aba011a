#include "engine/render/quad/decaler.h"

#include <cmath>

#include "engine/core/errors.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {
namespace {

constexpr UINT kStride = sizeof(QuadVertex);

// Static for the decaler's life: the managed pool keeps it across resets.
win32::ComPtr<IDirect3DIndexBuffer9> makeQuadIndices(IDirect3DDevice9* device) {
    win32::ComPtr<IDirect3DIndexBuffer9> buffer =
        create_index_buffer(device, Decaler::kIndexQuads * 6, D3DFMT_INDEX16, 0, D3DPOOL_MANAGED,
                            L"Decaler: failed to create index buffer");
    fillQuadIndices(buffer.get(), Decaler::kIndexQuads, L"Decaler: failed to lock index buffer");
    return buffer;
}

// Leaves stream 0 and the indices unbound however the draws end.
class BucketBinding {
public:
    BucketBinding(IDirect3DDevice9* device, IDirect3DVertexBuffer9* vertices,
                  IDirect3DIndexBuffer9* indices)
        : device(device) {
        device->SetVertexShader(nullptr);
        device->SetFVF(QuadVertex::kFvf);
        device->SetIndices(indices);
        device->SetStreamSource(0, vertices, 0, kStride);
    }
    ~BucketBinding() {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
    }
    BucketBinding(const BucketBinding&) = delete;
    BucketBinding& operator=(const BucketBinding&) = delete;

private:
    IDirect3DDevice9* device;
};

}  // namespace

Decaler::Decaler(DxDevice* dxDevice, GroundHeightSource* ground)
    : indices(makeQuadIndices(dxDevice->getDevice())),
      device(dxDevice),
      heightSource(ground),
      registration(dxDevice, this) {}

void Decaler::OnResetDevice() {
    const HRESULT result = device->getDevice()->CreateVertexBuffer(
        kVertexCapacity * kStride, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, QuadVertex::kFvf,
        D3DPOOL_DEFAULT, vertices.out(), nullptr);
    if (FAILED(result)) {
        throwDxError(result, L"Decaler: create vertex buffer failed");
    }
}

void Decaler::OnLostDevice() {
    vertices.reset();
}

void Decaler::addDecal(const ResourceId& texture, const D3DXVECTOR3* position, float angle,
                       std::uint32_t color, float size) {
    if (theTextureCache == nullptr) {
        throwRuntimeError(L"Decaler::addDecal: no texture cache");
    }
    IDirect3DTexture9* image = theTextureCache->fetch(texture);
    auto found = queued.find(image);
    if (found == queued.end()) {
        found = queued.emplace(image, std::vector<DecalRecord>()).first;
        found->second.reserve(kMaxDecalsPerTexture);
    }
    std::vector<DecalRecord>& records = found->second;
    if (records.size() >= kMaxDecalsPerTexture) {
        return;
    }
    records.push_back(DecalRecord{color, 1, position->x, position->y, position->z,
                                  std::sin(angle * 0.5f), std::cos(angle * 0.5f), size});
}

void Decaler::clear() {
    for (auto& bucket : queued) {
        bucket.second.clear();
    }
}

UINT Decaler::writeBucket(const std::vector<DecalRecord>& records, UINT cursor) {
    const UINT count = static_cast<UINT>(records.size()) * 4;
    void* data = nullptr;
    HRESULT result = D3DERR_INVALIDCALL;  // no buffer while the device is lost
    if (vertices && (cursor == 0 || cursor + count >= kVertexCapacity)) {
        cursor = 0;
        result = vertices->Lock(0, 0, &data, D3DLOCK_DISCARD);
    } else if (vertices) {
        result = vertices->Lock(cursor * kStride, count * kStride, &data, D3DLOCK_NOOVERWRITE);
    }
    if (FAILED(result)) {
        throwDxError(result, L"Decaler: failed to lock vertex buffer");
    }
    auto* out = static_cast<QuadVertex*>(data);
    for (const DecalRecord& mark : records) {
        // The turn of the stored half angle, as its quaternion would rotate.
        const float c = mark.cosHalf * mark.cosHalf - mark.sinHalf * mark.sinHalf;
        const float s = 2.0f * mark.sinHalf * mark.cosHalf;
        const float dc = mark.size * c, ds = mark.size * s;
        const float corners[4][4] = {
            {mark.x + dc, mark.z - ds, 0.0f, 0.0f},
            {mark.x + ds, mark.z + dc, 1.0f, 0.0f},
            {mark.x - dc, mark.z + ds, 1.0f, 1.0f},
            {mark.x - ds, mark.z - dc, 0.0f, 1.0f},
        };
        for (const auto& corner : corners) {
            const float point[2] = {corner[0], corner[1]};
            *out++ = QuadVertex{corner[0], heightSource->groundHeight(point),
                                corner[1], mark.color,
                                corner[2], corner[3]};
        }
    }
    vertices->Unlock();
    return cursor;
}

void Decaler::render(const CameraView& camera, ID3DXEffect* effect) {
    effect->SetMatrix(fx::kWorldViewProjection, &camera.viewProjection);
    IDirect3DDevice9* d3d = device->getDevice();
    UINT cursor = 0;
    for (auto bucket = queued.rbegin(); bucket != queued.rend(); ++bucket) {
        const std::vector<DecalRecord>& records = bucket->second;
        if (records.empty()) {
            continue;
        }
        const UINT count = static_cast<UINT>(records.size()) * 4;
        effect->SetTexture(fx::kTexture0, bucket->first);
        cursor = writeBucket(records, cursor);
        BucketBinding binding(d3d, vertices.get(), indices.get());
        EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
        while (pass.current < pass.count) {
            const HRESULT result = d3d->DrawIndexedPrimitive(
                D3DPT_TRIANGLELIST, static_cast<INT>(cursor), 0, count, 0, count / 2);
            if (FAILED(result)) {
                throwDxError(result, L"Decaler: DrawIndexedPrimitive failed");
            }
            pass.next();
        }
        pass.end();
        cursor += count;
    }
}

}  // namespace kesh
