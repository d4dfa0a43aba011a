#include <algorithm>
#include <cmath>

#include "d3dx9mesh.h"

namespace {

const D3DXVECTOR3& positionAt(const D3DXVECTOR3* first, DWORD index, DWORD stride) {
    return *reinterpret_cast<const D3DXVECTOR3*>(reinterpret_cast<const BYTE*>(first) +
                                                 static_cast<size_t>(index) * stride);
}

}  // namespace

HRESULT D3DXComputeBoundingBox(const D3DXVECTOR3* firstPosition, DWORD count, DWORD stride,
                               D3DXVECTOR3* min, D3DXVECTOR3* max) {
    if (firstPosition == nullptr || min == nullptr || max == nullptr || count == 0) {
        return D3DERR_INVALIDCALL;
    }
    D3DXVECTOR3 low = positionAt(firstPosition, 0, stride);
    D3DXVECTOR3 high = low;
    for (DWORD i = 1; i < count; ++i) {
        const D3DXVECTOR3& p = positionAt(firstPosition, i, stride);
        low = D3DXVECTOR3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = D3DXVECTOR3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    *min = low;
    *max = high;
    return D3D_OK;
}

HRESULT D3DXComputeBoundingSphere(const D3DXVECTOR3* firstPosition, DWORD count, DWORD stride,
                                  D3DXVECTOR3* centre, float* radius) {
    if (firstPosition == nullptr || centre == nullptr || radius == nullptr || count == 0) {
        return D3DERR_INVALIDCALL;
    }
    // Summed in double so that a large mesh keeps its centre.
    double sum[3] = {0.0, 0.0, 0.0};
    for (DWORD i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positionAt(firstPosition, i, stride);
        sum[0] += p.x;
        sum[1] += p.y;
        sum[2] += p.z;
    }
    const D3DXVECTOR3 mean(static_cast<float>(sum[0] / count), static_cast<float>(sum[1] / count),
                           static_cast<float>(sum[2] / count));
    double largest = 0.0;
    for (DWORD i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positionAt(firstPosition, i, stride);
        const double dx = p.x - mean.x;
        const double dy = p.y - mean.y;
        const double dz = p.z - mean.z;
        largest = std::max(largest, dx * dx + dy * dy + dz * dz);
    }
    *centre = mean;
    *radius = static_cast<float>(std::sqrt(largest));
    return D3D_OK;
}
