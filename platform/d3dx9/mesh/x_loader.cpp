// DirectX .x files through Assimp, merged into one mesh as D3DX loads them.
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// GCC names AddressSanitizer with a macro, clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define MORVALE_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVALE_LEAK_CHECKER 1
#endif
#endif

#if defined(MORVALE_LEAK_CHECKER)
#include <sanitizer/lsan_interface.h>
#endif

#include "common/com_object.h"
#include "common/file_data.h"
#include "d3dx9mesh.h"
#include "mesh/x_inflate.h"
#include "mesh/x_text_check.h"

namespace d3dx9 {
namespace {

struct PlacedMesh {
    const aiMesh* mesh;
    aiMatrix4x4 transform;
};

void collect(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent,
             std::vector<PlacedMesh>& out) {
    const aiMatrix4x4 transform = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        if (node.mMeshes[i] < scene.mNumMeshes) {
            out.push_back({scene.mMeshes[node.mMeshes[i]], transform});
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        collect(scene, *node.mChildren[i], transform, out);
    }
}

struct Layout {
    bool normals = false;
    bool colours = false;
    unsigned texcoords = 0;

    DWORD fvf() const {
        DWORD code = D3DFVF_XYZ;
        if (normals) {
            code |= D3DFVF_NORMAL;
        }
        if (colours) {
            code |= D3DFVF_DIFFUSE;
        }
        return code | (texcoords << D3DFVF_TEXCOUNT_SHIFT);
    }
};

BYTE toByte(float value) {
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= 1.0f ? 255 : static_cast<BYTE>(value * 255.0f + 0.5f);
}

D3DCOLORVALUE colourOf(const aiMaterial& material, const char* key, unsigned type, unsigned index) {
    aiColor4D colour(0.0f, 0.0f, 0.0f, 0.0f);
    material.Get(key, type, index, colour);
    return {colour.r, colour.g, colour.b, colour.a};
}

HRESULT makeMaterials(const aiScene& scene, ID3DXBuffer** materials) {
    std::vector<std::string> names(scene.mNumMaterials);
    size_t textBytes = 0;
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        aiString path;
        if (scene.mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
            names[i] = path.C_Str();
            textBytes += names[i].size() + 1;
        }
    }
    const size_t tableBytes = sizeof(D3DXMATERIAL) * scene.mNumMaterials;
    ComRef<ID3DXBuffer> buffer;
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(tableBytes + textBytes), buffer.out());
    if (FAILED(hr)) {
        return hr;
    }
    auto* table = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
    char* text = reinterpret_cast<char*>(table) + tableBytes;
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        const aiMaterial& material = *scene.mMaterials[i];
        D3DXMATERIAL& out = table[i];
        out.MatD3D.Diffuse = colourOf(material, AI_MATKEY_COLOR_DIFFUSE);
        out.MatD3D.Ambient = colourOf(material, AI_MATKEY_COLOR_AMBIENT);
        out.MatD3D.Specular = colourOf(material, AI_MATKEY_COLOR_SPECULAR);
        out.MatD3D.Emissive = colourOf(material, AI_MATKEY_COLOR_EMISSIVE);
        float power = 0.0f;
        material.Get(AI_MATKEY_SHININESS, power);
        out.MatD3D.Power = power;
        out.pTextureFilename = nullptr;
        if (!names[i].empty()) {
            std::memcpy(text, names[i].c_str(), names[i].size() + 1);
            out.pTextureFilename = text;
            text += names[i].size() + 1;
        }
    }
    *materials = buffer.release();
    return D3D_OK;
}

HRESULT makeEffectInstances(DWORD count, ID3DXBuffer** instances) {
    ComRef<ID3DXBuffer> buffer;
    const HRESULT hr =
        D3DXCreateBuffer(static_cast<DWORD>(count * sizeof(D3DXEFFECTINSTANCE)), buffer.out());
    if (FAILED(hr)) {
        return hr;
    }
    auto* table = static_cast<D3DXEFFECTINSTANCE*>(buffer->GetBufferPointer());
    for (DWORD i = 0; i < count; ++i) {
        table[i] = {nullptr, 0, nullptr};
    }
    *instances = buffer.release();
    return D3D_OK;
}

// Writes the merged vertices, triangles and attributes of the placed meshes.
HRESULT fillMesh(ID3DXMesh& mesh, const std::vector<PlacedMesh>& placed, const Layout& layout) {
    const UINT stride = mesh.GetNumBytesPerVertex();
    BYTE* vertices = nullptr;
    HRESULT hr = mesh.LockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<DWORD> indices;
    std::vector<DWORD> attributes;
    DWORD base = 0;
    for (const PlacedMesh& item : placed) {
        const aiMesh& source = *item.mesh;
        aiMatrix3x3 normalTransform(item.transform);
        normalTransform.Inverse().Transpose();
        for (unsigned v = 0; v < source.mNumVertices; ++v) {
            BYTE* out = vertices + 1ull * (base + v) * stride;
            const aiVector3D p = item.transform * source.mVertices[v];
            const float position[3] = {p.x, p.y, p.z};
            std::memcpy(out, position, 12);
            out += 12;
            if (layout.normals) {
                float normal[3] = {0.0f, 0.0f, 0.0f};
                if (source.HasNormals()) {
                    aiVector3D n = normalTransform * source.mNormals[v];
                    n.Normalize();
                    normal[0] = n.x;
                    normal[1] = n.y;
                    normal[2] = n.z;
                }
                std::memcpy(out, normal, 12);
                out += 12;
            }
            if (layout.colours) {
                D3DCOLOR colour = 0xFFFFFFFFu;
                if (source.HasVertexColors(0)) {
                    const aiColor4D& c = source.mColors[0][v];
                    colour = D3DCOLOR_ARGB(toByte(c.a), toByte(c.r), toByte(c.g), toByte(c.b));
                }
                std::memcpy(out, &colour, 4);
                out += 4;
            }
            for (unsigned set = 0; set < layout.texcoords; ++set) {
                float uv[2] = {0.0f, 0.0f};
                if (source.HasTextureCoords(set)) {
                    uv[0] = source.mTextureCoords[set][v].x;
                    uv[1] = source.mTextureCoords[set][v].y;
                }
                std::memcpy(out, uv, 8);
                out += 8;
            }
        }
        for (unsigned f = 0; f < source.mNumFaces; ++f) {
            const aiFace& face = source.mFaces[f];
            if (face.mNumIndices != 3) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                if (face.mIndices[c] >= source.mNumVertices) {
                    mesh.UnlockVertexBuffer();
                    return D3DXERR_INVALIDDATA;
                }
            }
            for (int c = 0; c < 3; ++c) {
                indices.push_back(base + face.mIndices[c]);
            }
            attributes.push_back(source.mMaterialIndex);
        }
        base += source.mNumVertices;
    }
    mesh.UnlockVertexBuffer();

    void* indexData = nullptr;
    if (FAILED(hr = mesh.LockIndexBuffer(0, &indexData))) {
        return hr;
    }
    const bool wide = (mesh.GetOptions() & D3DXMESH_32BIT) != 0;
    for (size_t i = 0; i < indices.size(); ++i) {
        if (wide) {
            static_cast<DWORD*>(indexData)[i] = indices[i];
        } else {
            static_cast<WORD*>(indexData)[i] = static_cast<WORD>(indices[i]);
        }
    }
    mesh.UnlockIndexBuffer();

    DWORD* attributeData = nullptr;
    if (FAILED(hr = mesh.LockAttributeBuffer(0, &attributeData))) {
        return hr;
    }
    std::copy(attributes.begin(), attributes.end(), attributeData);
    mesh.UnlockAttributeBuffer();
    return D3D_OK;
}

// Assimp's .x reader drops the records it was building when a file fails to parse; those
// leaks are the library's, so LeakSanitizer is told to look away while it reads.
class AssimpReadScope {
public:
    AssimpReadScope() {
#if defined(MORVALE_LEAK_CHECKER)
        __lsan_disable();
#endif
    }
    ~AssimpReadScope() {
#if defined(MORVALE_LEAK_CHECKER)
        __lsan_enable();
#endif
    }
    AssimpReadScope(const AssimpReadScope&) = delete;
    AssimpReadScope& operator=(const AssimpReadScope&) = delete;
};

HRESULT loadX(const std::vector<std::uint8_t>& file, DWORD options, IDirect3DDevice9* device,
              ID3DXBuffer** adjacency, ID3DXBuffer** materials, ID3DXBuffer** effectInstances,
              DWORD* numMaterials, ID3DXMesh** mesh) {
    // The importer reads the compressed forms only once they are inflated and checked here.
    std::optional<std::vector<std::uint8_t>> inflated;
    if (isCompressedXFile(file.data(), file.size()) &&
        !(inflated = inflateXFile(file.data(), file.size()))) {
        return D3DXERR_INVALIDDATA;
    }
    const std::vector<std::uint8_t>& data = inflated ? *inflated : file;
    if (!xCountsPlausible(reinterpret_cast<const char*>(data.data()), data.size())) {
        return D3DXERR_INVALIDDATA;
    }
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
    {
        AssimpReadScope scope;
        // Left-handed conversion undoes the importer's own flip, so the data stays the
        // file's.
        scene = importer.ReadFileFromMemory(
            data.data(), data.size(),
            aiProcess_ConvertToLeftHanded | aiProcess_JoinIdenticalVertices |
                aiProcess_Triangulate | aiProcess_ValidateDataStructure,
            "x");
    }
    if (scene == nullptr || scene->mRootNode == nullptr) {
        return D3DXERR_INVALIDDATA;
    }
    std::vector<PlacedMesh> placed;
    collect(*scene, *scene->mRootNode, aiMatrix4x4(), placed);

    Layout layout;
    unsigned long long vertexCount = 0;
    unsigned long long faceCount = 0;
    for (const PlacedMesh& item : placed) {
        const aiMesh& source = *item.mesh;
        layout.normals = layout.normals || source.HasNormals();
        layout.colours = layout.colours || source.HasVertexColors(0);
        unsigned sets = 0;
        while (sets < 8 && source.HasTextureCoords(sets)) {
            ++sets;
        }
        layout.texcoords = std::max(layout.texcoords, sets);
        vertexCount += source.mNumVertices;
        for (unsigned f = 0; f < source.mNumFaces; ++f) {
            faceCount += source.mFaces[f].mNumIndices == 3 ? 1 : 0;
        }
    }
    if (vertexCount == 0 || faceCount == 0) {
        return D3DXERR_LOADEDMESHASNODATA;
    }
    if (vertexCount > 0xFFFFFFFEull || faceCount > 0x7FFFFFFFull / 12) {
        return D3DXERR_INVALIDDATA;
    }
    if (vertexCount > 0xFFFFull) {
        options |= D3DXMESH_32BIT;
    }

    ComRef<ID3DXMesh> made;
    HRESULT hr = D3DXCreateMeshFVF(static_cast<DWORD>(faceCount), static_cast<DWORD>(vertexCount),
                                   options, layout.fvf(), device, made.out());
    if (FAILED(hr) || FAILED(hr = fillMesh(*made.get(), placed, layout))) {
        return hr;
    }

    ComRef<ID3DXBuffer> adjacencyBuffer;
    ComRef<ID3DXBuffer> materialBuffer;
    ComRef<ID3DXBuffer> instanceBuffer;
    if (adjacency != nullptr) {
        if (FAILED(hr = D3DXCreateBuffer(static_cast<DWORD>(faceCount * 3 * sizeof(DWORD)),
                                         adjacencyBuffer.out())) ||
            FAILED(hr = made->GenerateAdjacency(
                       0.0f, static_cast<DWORD*>(adjacencyBuffer->GetBufferPointer())))) {
            return hr;
        }
    }
    if (materials != nullptr && FAILED(hr = makeMaterials(*scene, materialBuffer.out()))) {
        return hr;
    }
    if (effectInstances != nullptr &&
        FAILED(hr = makeEffectInstances(scene->mNumMaterials, instanceBuffer.out()))) {
        return hr;
    }
    if (adjacency != nullptr) {
        *adjacency = adjacencyBuffer.release();
    }
    if (materials != nullptr) {
        *materials = materialBuffer.release();
    }
    if (effectInstances != nullptr) {
        *effectInstances = instanceBuffer.release();
    }
    if (numMaterials != nullptr) {
        *numMaterials = scene->mNumMaterials;
    }
    *mesh = made.release();
    return D3D_OK;
}

}  // namespace
}  // namespace d3dx9

HRESULT D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, IDirect3DDevice9* device,
                           ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                           ID3DXBuffer** effectInstances, DWORD* numMaterials, ID3DXMesh** mesh) {
    for (ID3DXBuffer** out : {adjacency, materials, effectInstances}) {
        if (out != nullptr) {
            *out = nullptr;
        }
    }
    if (numMaterials != nullptr) {
        *numMaterials = 0;
    }
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = nullptr;
    if (fileName == nullptr || device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    try {
        const auto data = d3dx9::readFile(fileName);
        if (!data) {
            return D3DERR_NOTFOUND;
        }
        return d3dx9::loadX(*data, options, device, adjacency, materials, effectInstances,
                            numMaterials, mesh);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return D3DXERR_INVALIDDATA;
    }
}
