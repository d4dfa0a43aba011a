// A null device in a scene, .x files written into a temporary folder, and what
// D3DXLoadMeshFromXA gives back, released at the end.
#pragma once

#include <d3dx9.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/d3d9/d3d9_fixture.h"
#include "tests/win32/temp_folder.h"

class XLoaderTest : public d3d9::testing::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    void TearDown() override {
        for (IUnknown* object :
             std::initializer_list<IUnknown*>{mesh, adjacency, materials, instances}) {
            if (object != nullptr) {
                object->Release();
            }
        }
        DeviceTest::TearDown();
    }

    std::string write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories((folder.path() / name).parent_path());
        std::ofstream(folder.path() / name, std::ios::binary) << text;
        return (folder.path() / name).string();
    }

    void releaseAll() {
        for (IUnknown** object :
             {reinterpret_cast<IUnknown**>(&mesh), reinterpret_cast<IUnknown**>(&adjacency),
              reinterpret_cast<IUnknown**>(&materials), reinterpret_cast<IUnknown**>(&instances)}) {
            if (*object != nullptr) {
                (*object)->Release();
                *object = nullptr;
            }
        }
    }

    HRESULT load(const std::string& path) {
        return D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device, &adjacency, &materials,
                                  &instances, &materialCount, &mesh);
    }

    TempFolder folder;
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* instances = nullptr;
    DWORD materialCount = 0;
};
