// Face and vertex reordering of a mesh in place, and adjacency.
#include <meshoptimizer.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "mesh/mesh.h"

namespace d3dx9 {
namespace {

constexpr DWORD kNoFace = 0xFFFFFFFFu;

// The position of each vertex, when stream 0 has a FLOAT3 position; else nothing.
bool readPositions(const std::vector<D3DVERTEXELEMENT9>& elements, const BYTE* vertices,
                   DWORD count, UINT stride, std::vector<D3DXVECTOR3>& positions) {
    for (const auto& element : elements) {
        if (element.Stream == 0 && element.Usage == D3DDECLUSAGE_POSITION &&
            element.UsageIndex == 0 && element.Type == D3DDECLTYPE_FLOAT3) {
            positions.resize(count);
            for (DWORD i = 0; i < count; ++i) {
                std::memcpy(&positions[i].x, vertices + 1ull * i * stride + element.Offset, 12);
            }
            return true;
        }
    }
    return false;
}

std::vector<DWORD> identity(size_t count) {
    std::vector<DWORD> values(count);
    std::iota(values.begin(), values.end(), 0u);
    return values;
}

}  // namespace

std::vector<DWORD> pointRepresentatives(const std::vector<D3DXVECTOR3>& positions, float epsilon) {
    std::vector<DWORD> order = identity(positions.size());
    std::sort(order.begin(), order.end(), [&](DWORD a, DWORD b) {
        const auto& p = positions[a];
        const auto& q = positions[b];
        return std::tie(p.x, p.y, p.z, a) < std::tie(q.x, q.y, q.z, b);
    });
    std::vector<DWORD> reps = identity(positions.size());
    const float tolerance = std::max(epsilon, 0.0f);
    for (size_t i = 0; i < order.size(); ++i) {
        const D3DXVECTOR3& p = positions[order[i]];
        // Earlier entries in x order within tolerance: the lowest vertex number wins.
        for (size_t j = i; j-- > 0;) {
            const D3DXVECTOR3& q = positions[order[j]];
            if (p.x - q.x > tolerance) {
                break;
            }
            if (std::abs(p.y - q.y) <= tolerance && std::abs(p.z - q.z) <= tolerance) {
                reps[order[i]] = std::min(reps[order[i]], reps[order[j]]);
            }
        }
    }
    return reps;
}

std::vector<DWORD> adjacencyFromPointReps(const std::vector<DWORD>& indices,
                                          const std::vector<DWORD>& pointReps) {
    const size_t faces = indices.size() / 3;
    std::unordered_multimap<unsigned long long, DWORD> edges;
    auto edgeKey = [](DWORD from, DWORD to) {
        return (static_cast<unsigned long long>(from) << 32) | to;
    };
    for (size_t f = 0; f < faces; ++f) {
        for (int c = 0; c < 3; ++c) {
            const DWORD from = pointReps[indices[f * 3 + c]];
            const DWORD to = pointReps[indices[f * 3 + (c + 1) % 3]];
            if (from != to) {
                edges.emplace(edgeKey(from, to), static_cast<DWORD>(f));
            }
        }
    }
    std::vector<DWORD> adjacency(faces * 3, kNoFace);
    for (size_t f = 0; f < faces; ++f) {
        for (int c = 0; c < 3; ++c) {
            const DWORD from = pointReps[indices[f * 3 + c]];
            const DWORD to = pointReps[indices[f * 3 + (c + 1) % 3]];
            if (from == to) {
                continue;
            }
            auto [first, last] = edges.equal_range(edgeKey(to, from));
            for (auto it = first; it != last; ++it) {
                if (it->second != f) {
                    adjacency[f * 3 + c] = it->second;
                    break;
                }
            }
        }
    }
    return adjacency;
}

HRESULT Mesh::GenerateAdjacency(float epsilon, DWORD* adjacency) {
    if (adjacency == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    void* vertexData = nullptr;
    HRESULT hr = vertices_->Lock(0, 0, &vertexData, D3DLOCK_READONLY);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<D3DXVECTOR3> positions;
    const bool hasPositions = readPositions(elements_, static_cast<const BYTE*>(vertexData),
                                            numVertices_, stride_, positions);
    vertices_->Unlock();
    void* indexData = nullptr;
    hr = indices_->Lock(0, 0, &indexData, D3DLOCK_READONLY);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<DWORD> indices(numFaces_ * 3ull);
    for (size_t i = 0; i < indices.size(); ++i) {
        indices[i] = indexAt(indexData, i);
    }
    indices_->Unlock();
    for (DWORD index : indices) {
        if (index >= numVertices_) {
            return D3DERR_INVALIDCALL;
        }
    }
    const std::vector<DWORD> reps =
        hasPositions ? pointRepresentatives(positions, epsilon) : identity(numVertices_);
    const std::vector<DWORD> result = adjacencyFromPointReps(indices, reps);
    std::copy(result.begin(), result.end(), adjacency);
    return D3D_OK;
}

HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                              DWORD* faceRemap, ID3DXBuffer** vertexRemap) {
    if (vertexRemap != nullptr) {
        *vertexRemap = nullptr;
    }
    if (attributeLocks_ != 0) {
        return D3DERR_INVALIDCALL;
    }
    void* indexData = nullptr;
    HRESULT hr = indices_->Lock(0, 0, &indexData, D3DLOCK_READONLY);
    if (FAILED(hr)) {
        return hr;
    }
    std::vector<unsigned int> oldIndices(numFaces_ * 3ull);
    for (size_t i = 0; i < oldIndices.size(); ++i) {
        oldIndices[i] = indexAt(indexData, i);
    }
    indices_->Unlock();
    for (unsigned int index : oldIndices) {
        if (index >= numVertices_) {
            return D3DERR_INVALIDCALL;  // meshoptimizer must never see such an index
        }
    }

    // New face -> old face: sorted by attribute, ties kept in order.
    std::vector<DWORD> faceOrder = identity(numFaces_);
    std::stable_sort(faceOrder.begin(), faceOrder.end(),
                     [&](DWORD a, DWORD b) { return attributes_[a] < attributes_[b]; });

    const bool forCache = (flags & (D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER)) != 0;
    if (forCache) {
        for (size_t start = 0; start < faceOrder.size();) {
            size_t end = start;
            while (end < faceOrder.size() &&
                   attributes_[faceOrder[end]] == attributes_[faceOrder[start]]) {
                ++end;
            }
            std::vector<unsigned int> range;
            range.reserve((end - start) * 3);
            for (size_t f = start; f < end; ++f) {
                range.insert(range.end(), &oldIndices[faceOrder[f] * 3ull],
                             &oldIndices[faceOrder[f] * 3ull] + 3);
            }
            std::vector<unsigned int> optimised(range.size());
            meshopt_optimizeVertexCache(optimised.data(), range.data(), range.size(), numVertices_);
            // The optimiser hands back triangles with their corners in order; find which
            // face each one was (equal triangles are taken in turn).
            std::map<std::tuple<unsigned, unsigned, unsigned>, std::vector<DWORD>> byCorners;
            for (size_t f = end; f-- > start;) {
                const unsigned* t = &oldIndices[faceOrder[f] * 3ull];
                byCorners[{t[0], t[1], t[2]}].push_back(faceOrder[f]);
            }
            for (size_t i = 0; i < end - start; ++i) {
                auto& faces =
                    byCorners[{optimised[i * 3], optimised[i * 3 + 1], optimised[i * 3 + 2]}];
                if (faces.empty()) {
                    return E_FAIL;
                }
                faceOrder[start + i] = faces.back();
                faces.pop_back();
            }
            start = end;
        }
    }

    std::vector<unsigned int> newIndices(oldIndices.size());
    for (size_t f = 0; f < faceOrder.size(); ++f) {
        std::copy_n(&oldIndices[faceOrder[f] * 3ull], 3, &newIndices[f * 3]);
    }

    // New vertex -> old vertex: in order of first use, unused ones last.
    std::vector<DWORD> vertexOrder;
    if (forCache) {
        std::vector<DWORD> newNumber(numVertices_, kNoFace);
        vertexOrder.reserve(numVertices_);
        for (unsigned int& index : newIndices) {
            if (newNumber[index] == kNoFace) {
                newNumber[index] = static_cast<DWORD>(vertexOrder.size());
                vertexOrder.push_back(index);
            }
            index = newNumber[index];
        }
        for (DWORD v = 0; v < numVertices_; ++v) {
            if (newNumber[v] == kNoFace) {
                vertexOrder.push_back(v);
            }
        }
    } else {
        vertexOrder = identity(numVertices_);
    }

    ComRef<ID3DXBuffer> remapBuffer;
    if (vertexRemap != nullptr) {
        hr = D3DXCreateBuffer(numVertices_ * 4, remapBuffer.out());
        if (FAILED(hr)) {
            return hr;
        }
        std::copy(vertexOrder.begin(), vertexOrder.end(),
                  static_cast<DWORD*>(remapBuffer->GetBufferPointer()));
    }

    void* vertexData = nullptr;
    hr = vertices_->Lock(0, 0, &vertexData, 0);
    if (FAILED(hr)) {
        return hr;
    }
    const std::vector<BYTE> oldVertices(
        static_cast<BYTE*>(vertexData),
        static_cast<BYTE*>(vertexData) + 1ull * numVertices_ * stride_);
    for (DWORD v = 0; v < numVertices_; ++v) {
        std::memcpy(static_cast<BYTE*>(vertexData) + 1ull * v * stride_,
                    oldVertices.data() + 1ull * vertexOrder[v] * stride_, stride_);
    }
    vertices_->Unlock();

    hr = indices_->Lock(0, 0, &indexData, 0);
    if (FAILED(hr)) {
        return hr;
    }
    for (size_t i = 0; i < newIndices.size(); ++i) {
        if (uses32BitIndices()) {
            static_cast<DWORD*>(indexData)[i] = newIndices[i];
        } else {
            static_cast<WORD*>(indexData)[i] = static_cast<WORD>(newIndices[i]);
        }
    }
    indices_->Unlock();

    std::vector<DWORD> newAttributes(numFaces_);
    for (size_t f = 0; f < faceOrder.size(); ++f) {
        newAttributes[f] = attributes_[faceOrder[f]];
    }
    attributes_ = std::move(newAttributes);

    table_.clear();
    for (DWORD start = 0; start < numFaces_;) {
        DWORD end = start;
        DWORD low = kNoFace;
        DWORD high = 0;
        while (end < numFaces_ && attributes_[end] == attributes_[start]) {
            for (int c = 0; c < 3; ++c) {
                low = std::min<DWORD>(low, newIndices[end * 3ull + c]);
                high = std::max<DWORD>(high, newIndices[end * 3ull + c]);
            }
            ++end;
        }
        table_.push_back({attributes_[start], start, end - start, low, high - low + 1});
        start = end;
    }

    std::vector<DWORD> newFaceOf(numFaces_);
    for (DWORD f = 0; f < numFaces_; ++f) {
        newFaceOf[faceOrder[f]] = f;
    }
    if (adjacencyOut != nullptr) {
        if (adjacencyIn != nullptr) {
            std::vector<DWORD> result(numFaces_ * 3ull);
            for (DWORD f = 0; f < numFaces_; ++f) {
                for (int c = 0; c < 3; ++c) {
                    const DWORD old = adjacencyIn[faceOrder[f] * 3ull + c];
                    result[f * 3ull + c] = old < numFaces_ ? newFaceOf[old] : kNoFace;
                }
            }
            std::copy(result.begin(), result.end(), adjacencyOut);
        } else {
            hr = GenerateAdjacency(0.0f, adjacencyOut);
            if (FAILED(hr)) {
                return hr;
            }
        }
    }
    if (faceRemap != nullptr) {
        std::copy(faceOrder.begin(), faceOrder.end(), faceRemap);
    }
    if (vertexRemap != nullptr) {
        *vertexRemap = remapBuffer.release();
    }
    return D3D_OK;
}

}  // namespace d3dx9
