// D3DX shapes: a box and a sphere, centred on the origin, with positions and normals
// (D3DFVF_XYZ | D3DFVF_NORMAL), every face of attribute 0. Front faces wind clockwise.
#pragma once

#include "d3dx9mesh.h"

// adjacency (optional) receives three DWORDs per face.
HRESULT D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth,
                      ID3DXMesh** mesh, ID3DXBuffer** adjacency);
// The axis runs along z; slices >= 2 around it, stacks >= 2 along it.
HRESULT D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks,
                         ID3DXMesh** mesh, ID3DXBuffer** adjacency);
