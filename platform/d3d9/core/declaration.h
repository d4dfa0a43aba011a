// Vertex declarations: a checked copy of the caller's elements.
#pragma once

#include <memory>
#include <vector>

#include "core/com_object.h"
#include "core/resource.h"

namespace d3d9 {

class VertexDeclaration : public ComObject<IDirect3DVertexDeclaration9> {
public:
    // Null when the elements are not a valid declaration (bad type, misaligned offset,
    // repeated usage, no end marker within MAXD3DDECLLENGTH).
    static VertexDeclaration* create(std::shared_ptr<DeviceContext> context,
                                     const D3DVERTEXELEMENT9* elements);

    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

    // Without the end marker.
    const std::vector<D3DVERTEXELEMENT9>& elements() const { return elements_; }

private:
    VertexDeclaration(std::shared_ptr<DeviceContext> context,
                      std::vector<D3DVERTEXELEMENT9> elements);

    std::shared_ptr<DeviceContext> context_;
    std::vector<D3DVERTEXELEMENT9> elements_;
};

}  // namespace d3d9
