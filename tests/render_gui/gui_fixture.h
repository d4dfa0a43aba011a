// The shared services over a null device, with the quad fixture's record helpers, and a few
// small textures of their own colour in the texture folder.
#pragma once

#include <d3dx9/seams.h>

#include <string>

#include "engine/render/texture/texture_loader.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/art_files.h"

namespace kesh::testing {

class GuiTest : public QuadsTest {
protected:
    using QuadsTest::QuadsTest;

    void SetUp() override {
        QuadsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        writeTexture("red.dds", 0xFFFF0000);
        writeTexture("green.dds", 0xFF00FF00);
        writeTexture("blue.dds", 0xFF0000FF);
        d3dx9::clearTextDraws();
    }

    void writeTexture(const std::string& name, D3DCOLOR colour) {
        writeArt("texture/hi/" + name, morvale_testing::solidDds(4, 4, colour));
    }
    IDirect3DTexture9* texture(const std::string& name) {
        return kesh::theTextureCache->fetch(name);
    }
};

}  // namespace kesh::testing
