// The box and sphere of D3DX: positions and normals, clockwise front faces.
#include <cmath>
#include <vector>

#include "common/com_object.h"
#include "d3dx9shape.h"

namespace d3dx9 {
namespace {

struct ShapeVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

struct Shape {
    std::vector<ShapeVertex> vertices;
    std::vector<WORD> indices;

    // Adds a triangle facing `outward`: seen from that side its corners run clockwise,
    // which with left-handed axes means (b - a) x (c - a) points outward.
    void triangle(WORD a, WORD b, WORD c, const D3DXVECTOR3& outward) {
        D3DXVECTOR3 ab = vertices[b].position - vertices[a].position;
        D3DXVECTOR3 ac = vertices[c].position - vertices[a].position;
        D3DXVECTOR3 cross;
        D3DXVec3Cross(&cross, &ab, &ac);
        if (D3DXVec3Dot(&cross, &outward) < 0.0f) {
            std::swap(b, c);
        }
        indices.insert(indices.end(), {a, b, c});
    }
};

HRESULT makeMesh(IDirect3DDevice9* device, const Shape& shape, ID3DXMesh** mesh,
                 ID3DXBuffer** adjacency) {
    if (adjacency != nullptr) {
        *adjacency = nullptr;
    }
    const DWORD faces = static_cast<DWORD>(shape.indices.size() / 3);
    const DWORD vertexCount = static_cast<DWORD>(shape.vertices.size());
    ComRef<ID3DXMesh> made;
    HRESULT hr = D3DXCreateMeshFVF(faces, vertexCount, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL,
                                   device, made.out());
    if (FAILED(hr)) {
        return hr;
    }
    void* data = nullptr;
    if (FAILED(hr = made->LockVertexBuffer(0, &data))) {
        return hr;
    }
    std::copy(shape.vertices.begin(), shape.vertices.end(), static_cast<ShapeVertex*>(data));
    made->UnlockVertexBuffer();
    if (FAILED(hr = made->LockIndexBuffer(0, &data))) {
        return hr;
    }
    std::copy(shape.indices.begin(), shape.indices.end(), static_cast<WORD*>(data));
    made->UnlockIndexBuffer();
    const D3DXATTRIBUTERANGE range{0, 0, faces, 0, vertexCount};
    if (FAILED(hr = made->SetAttributeTable(&range, 1))) {
        return hr;
    }
    if (adjacency != nullptr) {
        ComRef<ID3DXBuffer> buffer;
        if (FAILED(hr = D3DXCreateBuffer(faces * 3 * sizeof(DWORD), buffer.out())) ||
            FAILED(hr = made->GenerateAdjacency(0.0f,
                                                static_cast<DWORD*>(buffer->GetBufferPointer())))) {
            return hr;
        }
        *adjacency = buffer.release();
    }
    *mesh = made.release();
    return D3D_OK;
}

}  // namespace
}  // namespace d3dx9

HRESULT D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth,
                      ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = nullptr;
    if (device == nullptr || !(width >= 0.0f) || !(height >= 0.0f) || !(depth >= 0.0f)) {
        return D3DERR_INVALIDCALL;
    }
    const D3DXVECTOR3 half(width * 0.5f, height * 0.5f, depth * 0.5f);
    const D3DXVECTOR3 axes[3] = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, 1)};
    d3dx9::Shape shape;
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {-1.0f, 1.0f}) {
            const D3DXVECTOR3 normal = axes[axis] * sign;
            const D3DXVECTOR3& u = axes[(axis + 1) % 3];
            const D3DXVECTOR3& v = axes[(axis + 2) % 3];
            const WORD first = static_cast<WORD>(shape.vertices.size());
            // Corners around the face, so that 0-1-2 and 0-2-3 cover it.
            const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
            for (const auto& corner : corners) {
                D3DXVECTOR3 p = normal + u * corner[0] + v * corner[1];
                p = D3DXVECTOR3(p.x * half.x, p.y * half.y, p.z * half.z);
                shape.vertices.push_back({p, normal});
            }
            shape.triangle(first, first + 1, first + 2, normal);
            shape.triangle(first, first + 2, first + 3, normal);
        }
    }
    return d3dx9::makeMesh(device, shape, mesh, adjacency);
}

HRESULT D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks,
                         ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = nullptr;
    // The vertex count must fit 16-bit indices.
    if (device == nullptr || !(radius >= 0.0f) || slices < 2 || stacks < 2 ||
        1ull * slices * (stacks - 1) + 2 > 0xFFFFull) {
        return D3DERR_INVALIDCALL;
    }
    d3dx9::Shape shape;
    shape.vertices.push_back({D3DXVECTOR3(0, 0, radius), D3DXVECTOR3(0, 0, 1)});
    for (UINT stack = 1; stack < stacks; ++stack) {
        const float phi = D3DX_PI * static_cast<float>(stack) / static_cast<float>(stacks);
        for (UINT slice = 0; slice < slices; ++slice) {
            const float theta =
                2.0f * D3DX_PI * static_cast<float>(slice) / static_cast<float>(slices);
            const D3DXVECTOR3 normal(std::sin(phi) * std::cos(theta),
                                     std::sin(phi) * std::sin(theta), std::cos(phi));
            shape.vertices.push_back({normal * radius, normal});
        }
    }
    const WORD bottom = static_cast<WORD>(shape.vertices.size());
    shape.vertices.push_back({D3DXVECTOR3(0, 0, -radius), D3DXVECTOR3(0, 0, -1)});

    auto ring = [&](UINT stack, UINT slice) {
        return static_cast<WORD>(1 + (stack - 1) * slices + slice % slices);
    };
    auto outward = [&](WORD a, WORD b, WORD c) {
        return shape.vertices[a].normal + shape.vertices[b].normal + shape.vertices[c].normal;
    };
    for (UINT slice = 0; slice < slices; ++slice) {
        const WORD a = ring(1, slice);
        const WORD b = ring(1, slice + 1);
        shape.triangle(0, a, b, outward(0, a, b));
    }
    for (UINT stack = 1; stack + 1 < stacks; ++stack) {
        for (UINT slice = 0; slice < slices; ++slice) {
            const WORD a = ring(stack, slice);
            const WORD b = ring(stack, slice + 1);
            const WORD c = ring(stack + 1, slice);
            const WORD d = ring(stack + 1, slice + 1);
            shape.triangle(a, b, d, outward(a, b, d));
            shape.triangle(a, d, c, outward(a, d, c));
        }
    }
    for (UINT slice = 0; slice < slices; ++slice) {
        const WORD a = ring(stacks - 1, slice);
        const WORD b = ring(stacks - 1, slice + 1);
        shape.triangle(bottom, a, b, outward(bottom, a, b));
    }
    return d3dx9::makeMesh(device, shape, mesh, adjacency);
}
