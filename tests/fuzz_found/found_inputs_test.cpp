// The inputs kept in tests/fuzz/found/, each through the reader its fuzz target drives (the
// file's name begins with the target's): each must end as that reader ends on a bad file, with
// its code or its error, never a crash or a leak (the sanitizer build sees those). A file of a
// kind no case below knows fails the test, so that no kept input goes unrun.
#include <gtest/gtest.h>

#include <d3dx9effect.h>
#include <d3dx9mesh.h>
#include <d3dx9tex.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "game/audio/music_segment_loader.h"
#include "tests/support/services_fixture.h"
#include "win32/com_ptr.h"

// The leak no caller can avoid, as tests/fuzz/lsan.supp lists it for the fuzz runs: libsndfile
// keeps the Vorbis state of an Ogg file it fails to open. Read by LeakSanitizer in the
// sanitizer build only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:vorbis_info_init\n";
}

namespace {

using Bytes = std::vector<std::uint8_t>;

class FoundInputs : public morvale_testing::ServicesTest {
public:
    static std::filesystem::path folder() {
        const char* source = std::getenv("MORVALE_SOURCE_DIR");
        return std::filesystem::path(source != nullptr ? source : ".") / "tests/fuzz/found";
    }

    static Bytes bytesOf(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // What the reader made of the file: "refused" or "loaded", or the error's text.
    std::string effect(const Bytes& bytes) {
        win32::ComPtr<ID3DXEffect> made;
        win32::ComPtr<ID3DXBuffer> errors;
        const HRESULT hr = D3DXCreateEffect(device, bytes.data(), static_cast<UINT>(bytes.size()),
                                            nullptr, nullptr, 0, nullptr, made.out(), errors.out());
        return hr == D3DXERR_INVALIDDATA && errors ? "refused"
                                                   : "effect result " + std::to_string(hr);
    }

    std::string texture(const Bytes& bytes) {
        win32::ComPtr<IDirect3DTexture9> made;
        const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            device, bytes.data(), static_cast<UINT>(bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT,
            D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
            nullptr, nullptr, made.out());
        return hr == D3DXERR_INVALIDDATA ? "refused" : hr == D3D_OK ? "loaded" : std::to_string(hr);
    }

    std::string xmesh(const Bytes& bytes) {
        writeArt("mesh/found.x", bytes);
        win32::ComPtr<ID3DXBuffer> adjacency;
        win32::ComPtr<ID3DXMesh> mesh;
        DWORD materials = 0;
        const HRESULT hr =
            D3DXLoadMeshFromXA((artRoot() + "mesh/found.x").c_str(), D3DXMESH_MANAGED, device,
                               adjacency.out(), nullptr, nullptr, &materials, mesh.out());
        return FAILED(hr) ? "refused" : "loaded";
    }

    std::string lua(const Bytes& bytes) {
        writeArt("config/found.lua", bytes);
        try {
            scripts->runFile(L"found.lua");
            return "loaded";
        } catch (const std::runtime_error& error) {
            const std::string text = error.what();
            return text.rfind("Lua error (", 0) == 0 ? "refused" : text;
        }
    }

    std::string sound(const Bytes& bytes) {
        writeArt("audio/found.ogg", bytes);
        kesh::MusicSegmentLoader loader(kesh::toWide(artRoot() + "audio/"), false);
        try {
            IDirectMusicSegment8* segment = loader.load(kesh::ResourceId("found.ogg"));
            loader.release(segment);
            return "loaded";
        } catch (const std::runtime_error& error) {
            return std::string(error.what()).rfind("LoadObjectFromFile failed", 0) == 0
                       ? "refused"
                       : error.what();
        }
    }
};

TEST_F(FoundInputs, EachIsRefusedByItsReader) {
    const std::map<std::string, std::string (FoundInputs::*)(const Bytes&)> readers = {
        {"effect", &FoundInputs::effect},
        {"texture", &FoundInputs::texture},
        {"xmesh", &FoundInputs::xmesh},
        {"lua", &FoundInputs::lua},
        {"sound", &FoundInputs::sound}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
        const std::string name = entry.path().filename().string();
        const auto reader = readers.find(name.substr(0, name.find('-')));
        ASSERT_NE(reader, readers.end()) << name << ": no reader of that kind";
        EXPECT_EQ((this->*reader->second)(bytesOf(entry.path())), "refused") << name;
        ++files;
    }
    EXPECT_EQ(files, 13);
}

}  // namespace
