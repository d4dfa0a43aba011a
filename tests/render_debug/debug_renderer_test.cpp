// The debug renderer's queues drawn through the embedded debug effect: the shape flags as
// the null device records them, the text column and the world labels.
#include "engine/render/debug/debug_renderer.h"

#include <d3dx9/seams.h>
#include <boost/make_shared.hpp>

#include <limits>

#include "engine/render/effect/effect_cache.h"
#include "tests/render_effects/effect_fixture.h"
#include "tests/support/allocation_counter.h"

namespace kesh::testing {
namespace {

class DebugRendererTest : public EffectDeviceTest {
protected:
    void SetUp() override {
        EffectDeviceTest::SetUp();
        cache = std::make_unique<EffectCache>(boost::make_shared<EffectLoader>(dx.get(), 0, folder),
                                              dx.get());
        theEffectCache = cache.get();
        renderer = std::make_unique<DebugRenderer>(dx.get(), "debug_render.fx");
        camera.setPosition(D3DXVECTOR3(0, 0, -10));
        d3d9::deviceRecord(device)->clear();
        d3dx9::clearTextDraws();
    }
    void TearDown() override {
        renderer.reset();
        theEffectCache = nullptr;
        cache.reset();
        EffectDeviceTest::TearDown();
    }
    void drawFrame() {
        device->BeginScene();
        renderer->draw(camera);
        device->EndScene();
    }
    const std::deque<d3d9::RecordedDraw>& draws() { return d3d9::deviceRecord(device)->draws; }
    // The drawing calls of the fonts (measurements left out).
    std::vector<d3dx9::TextDraw> textDrawn() {
        std::vector<d3dx9::TextDraw> drawn;
        for (const auto& d : d3dx9::textDraws()) {
            if ((d.format & DT_CALCRECT) == 0) {
                drawn.push_back(d);
            }
        }
        return drawn;
    }

    std::unique_ptr<EffectCache> cache;
    std::unique_ptr<DebugRenderer> renderer;
    CameraView camera;
};

TEST_F(DebugRendererTest, AllFlagsAndATranslucentColour) {
    const D3DXVECTOR3 centre(0, 0, 0);
    renderer->addSphere(&centre, 2.0f, 0x802040D0, 7);
    drawFrame();
    ASSERT_FALSE(draws().empty());
    const d3d9::DeviceState& state = draws().front().state;
    EXPECT_EQ(state.renderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_WIREFRAME));
    EXPECT_EQ(state.renderState(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(state.renderState(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(state.renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(state.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(state.renderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(state.renderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(state.renderState(D3DRS_TEXTUREFACTOR), 0x802040D0u);
    // The restore pass ran afterwards.
    DWORD fill = 0;
    device->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, static_cast<DWORD>(D3DFILL_SOLID));
}

TEST_F(DebugRendererTest, OpaqueShapesLeaveTheBlendFactorsAlone) {
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, 2, 3, 4);
    renderer->addBox(&world, 0xFF00FF00, 0);
    drawFrame();
    ASSERT_FALSE(draws().empty());
    const d3d9::DeviceState& state = draws().front().state;
    EXPECT_EQ(state.renderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
    EXPECT_EQ(state.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(state.renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(state.renderState(D3DRS_ALPHABLENDENABLE), 0u);
    ID3DXEffect* effect = theEffectCache->fetch(ResourceId("debug_render.fx"));
    INT src = 0, dst = 0;
    effect->GetInt("srcBlend", &src);
    effect->GetInt("dstBlend", &dst);
    EXPECT_EQ(src, 1);  // the file's defaults, untouched
    EXPECT_EQ(dst, 1);
}

TEST_F(DebugRendererTest, ShapesDrawInQueueOrderSpheresFirst) {
    const D3DXVECTOR3 centre(1, 2, 3);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    renderer->addBox(&world, 0xFF0000FF, 0);
    renderer->addSphere(&centre, 1.0f, 0xFFFF0000, 0);
    drawFrame();
    std::vector<DWORD> colours;
    for (const auto& d : draws()) {
        const DWORD c = d.state.renderState(D3DRS_TEXTUREFACTOR);
        if (colours.empty() || colours.back() != c) {
            colours.push_back(c);
        }
    }
    EXPECT_EQ(colours, std::vector<DWORD>({0xFFFF0000u, 0xFF0000FFu}));
}

TEST_F(DebugRendererTest, ScreenLinesStackDownFromTheCornerWithShadows) {
    renderer->addScreenText(L"first", 0xFFFFFFFF);
    renderer->addScreenText(L"second", 0xFF00FF00);
    renderer->addScreenText(L"two\nlines", 0x80FF0000);
    drawFrame();
    const auto drawn = textDrawn();
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(drawn[0].rect.left, 4);  // shadow
    EXPECT_EQ(drawn[0].rect.top, 4);
    EXPECT_EQ(drawn[0].color, 0xFF000000u);
    EXPECT_EQ(drawn[1].rect.left, 3);
    EXPECT_EQ(drawn[1].rect.top, 3);
    EXPECT_EQ(drawn[1].color, 0xFFFFFFFFu);
    const LONG line = drawn[1].rect.bottom - drawn[1].rect.top;
    EXPECT_GT(line, 0);
    EXPECT_EQ(drawn[3].rect.top, 3 + line);
    EXPECT_EQ(drawn[3].color, 0xFF00FF00u);
    EXPECT_EQ(drawn[5].rect.top, 3 + 2 * line);
    EXPECT_EQ(drawn[5].rect.bottom - drawn[5].rect.top, 2 * line);
    EXPECT_EQ(drawn[5].color, 0x80FF0000u);
}

TEST_F(DebugRendererTest, WorldLabelsOnlyNearTheViewport) {
    const D3DXVECTOR3 ahead(0, 0, 0);  // the centre of the view
    renderer->addWorldText(L"centre", &ahead, 0xFFFFFFFF);
    const D3DXVECTOR3 nan(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    renderer->addWorldText(L"nan", &nan, 0xFFFFFFFF);
    const D3DXVECTOR3 far(1000, 0, 0);  // far off to the right
    renderer->addWorldText(L"off", &far, 0xFFFFFFFF);
    drawFrame();
    const auto drawn = textDrawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].text, L"centre");
    EXPECT_EQ(drawn[1].format, static_cast<DWORD>(DT_SINGLELINE | DT_EXPANDTABS));
    const D3DVIEWPORT9& vp = dx->getViewport();
    EXPECT_EQ(drawn[1].rect.left, static_cast<LONG>(vp.Width / 2));
    EXPECT_EQ(drawn[1].rect.top, static_cast<LONG>(vp.Height / 2));
}

TEST_F(DebugRendererTest, WorldLabelsAtTheEdgeOfTheMargin) {
    // x projects to sx = (px + 1) * W / 2: pick points whose sx is -150, -201 and W + 201.
    const D3DVIEWPORT9& vp = dx->getViewport();
    const float w = static_cast<float>(vp.Width);
    auto pointAt = [&](float sx) {
        // A quarter pixel beyond sx, away from zero, so that truncation lands on sx.
        const float px = sx * 2.0f / w - 1.0f + (sx < 0 ? -0.5f : 0.5f) / w;
        // At 10 units ahead, px = x * proj11 / 10.
        return D3DXVECTOR3(px * 10.0f / camera.projection._11, 0, 0);
    };
    const D3DXVECTOR3 inside = pointAt(-150), left = pointAt(-201), right = pointAt(w + 201);
    renderer->addWorldText(L"in", &inside, 0xFFFFFFFF);
    renderer->addWorldText(L"left", &left, 0xFFFFFFFF);
    renderer->addWorldText(L"right", &right, 0xFFFFFFFF);
    drawFrame();
    const auto drawn = textDrawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].text, L"in");
    EXPECT_EQ(drawn[1].rect.left, -150);
}

TEST_F(DebugRendererTest, EmptyQueuesRunThePassesAndDrawNothing) {
    drawFrame();
    EXPECT_TRUE(draws().empty());
    EXPECT_TRUE(textDrawn().empty());
    DWORD fill = 0;
    device->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, static_cast<DWORD>(D3DFILL_SOLID));
}

TEST_F(DebugRendererTest, DrawKeepsTheQueuesAndClearEmptiesThem) {
    const D3DXVECTOR3 p(0, 0, 0);
    renderer->addSphere(&p, 1, 0xFFFFFFFF, 0);
    renderer->addScreenText(L"x", 0xFFFFFFFF);
    drawFrame();
    EXPECT_EQ(renderer->spheres().size(), 1u);
    renderer->addWorldText(L"late", &p, 0xFFFFFFFF);
    renderer->clear();
    EXPECT_TRUE(renderer->spheres().empty());
    EXPECT_TRUE(renderer->screenTexts().empty());
    EXPECT_TRUE(renderer->worldTexts().empty());
    d3d9::deviceRecord(device)->clear();
    drawFrame();
    EXPECT_TRUE(draws().empty());
}

// Queues keep their items' storage from frame to frame: a frame that queues no more than the
// one before must show exactly its own items and allocate nothing doing it.
TEST_F(DebugRendererTest, ARefilledFrameShowsOnlyItsOwnItemsAndAllocatesNothing) {
    const D3DXVECTOR3 p(1, 2, 3);
    const D3DXVECTOR3 q(4, 5, 6);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    renderer->addSphere(&p, 1, 0xFF000001, 0);
    renderer->addBox(&world, 0xFF000002, 0);
    renderer->addScreenText(L"a first line longer than any short-string buffer", 0xFF000003);
    renderer->addScreenText(std::string("another line longer than a short buffer"), 0xFF000004);
    renderer->addWorldText(L"a label longer than any short-string buffer", &p, 0xFF000005);
    drawFrame();
    renderer->clear();

    // Made before counting: a wide string of five characters is on the heap already.
    const std::string narrow = "caf\xE9 line";
    const std::wstring shortLine = L"short";
    const std::wstring label = L"label";
    allocation_counter::start();
    renderer->addScreenText(narrow, 0xFF000006);
    renderer->addScreenText(shortLine, 0xFF000007);
    renderer->addWorldText(label, &q, 0xFF000008);
    renderer->addSphere(&q, 2, 0xFF000009, 1);
    const std::size_t allocations = allocation_counter::stop();
    EXPECT_EQ(allocations, 0u);

    ASSERT_EQ(renderer->screenTexts().size(), 2u);
    // Narrow text is widened unit by unit, as toWide does.
    EXPECT_EQ(renderer->screenTexts().front().text, L"caf\u00E9 line");
    EXPECT_EQ(renderer->screenTexts().front().color, 0xFF000006u);
    EXPECT_EQ(renderer->screenTexts().back().text, L"short");
    ASSERT_EQ(renderer->worldTexts().size(), 1u);
    EXPECT_EQ(renderer->worldTexts().front().text, L"label");
    EXPECT_EQ(renderer->worldTexts().front().position.x, 4.0f);
    ASSERT_EQ(renderer->spheres().size(), 1u);
    EXPECT_EQ(renderer->spheres().front().radius, 2.0f);
    EXPECT_TRUE(renderer->boxes().empty());

    d3dx9::clearTextDraws();
    drawFrame();
    const auto drawn = textDrawn();
    std::vector<std::wstring> texts;
    for (const d3dx9::TextDraw& draw : drawn) {
        texts.push_back(draw.text);
    }
    // Each line twice, its shadow first.
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"caf\u00E9 line", L"caf\u00E9 line", L"short",
                                                L"short", L"label", L"label"}));
}

}  // namespace
}  // namespace kesh::testing
