#include "game/app/shell/game_map.h"

#include <win32/crt.h>
#include <boost/bind/bind.hpp>

#include <cmath>

#include "engine/core/log.h"
#include "engine/core/vector_io.h"
#include "engine/render/gui/texture_atlas.h"
#include "engine/render/log_lines.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/shell/shell_art.h"

namespace {

constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

}  // namespace

GameMap::GameMap(kesh::DxDevice* device, const GuiSettings& settings, const float car[2],
                 const float target[2])
    : device(device), settings(settings), carPos{car[0], car[1]}, targetPos{target[0], target[1]} {
    kesh::TextureAtlas atlas;
    loadShellAtlas(settings, atlas);
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    root = std::make_unique<kesh::GuiRoot>(device, settings.effect);

    const D3DVIEWPORT9& viewport = device->getViewport();
    const int screen[2] = {static_cast<int>(viewport.Width), static_cast<int>(viewport.Height)};
    const int icon[2] = {kIconSize, kIconSize};
    const int circle[2] = {kMarkerSize, kMarkerSize};
    background = source.frame("menu_background_map", screen);
    carIcon = source.frame("Pajero_icon", icon);
    marker = source.frame("circle1", circle);
    // The Windows generator's range keeps this under 0.03 pixels.
    jitter[0] = static_cast<float>(msvcrt_rand()) * kJitterScale;
    jitter[1] = static_cast<float>(msvcrt_rand()) * kJitterScale;

    int rect[4];
    ReferenceFrame(viewport).rect(kPageContinueButton, rect);
    continueButton =
        std::make_unique<kesh::Button>(root.get(), rect, shellButtonSkin(source, "continue"));
    continueButton->id = 0;
    root->addElement(continueButton.get());
    using namespace boost::placeholders;
    root->setCallback(boost::bind(&GameMap::onButton, this, _1, _2, _3));
}

GameMap::~GameMap() {
    root->removeElement(continueButton.get());
    continueButton.reset();
}

void GameMap::update(float t) {
    const D3DVIEWPORT9& viewport = device->getViewport();
    const float width = static_cast<float>(viewport.Width);
    const float height = static_cast<float>(viewport.Height);
    background.width = static_cast<int>(viewport.Width);
    background.height = static_cast<int>(viewport.Height);
    const ReferenceFrame frame(viewport);

    // The circle is drawn and centred at its size scaled to the screen.
    const float scale = 0.8f + 0.2f * static_cast<float>(pulse) / static_cast<float>(kPulseSteps);
    const int storedWidth = marker.width;
    const int storedHeight = marker.height;
    const int sw = static_cast<int>(static_cast<float>(storedWidth) * scale);
    const int sh = static_cast<int>(static_cast<float>(storedHeight) * scale);
    marker.width = static_cast<int>(static_cast<float>(sw) * frame.sx);
    marker.height = static_cast<int>(static_cast<float>(sh) * frame.sy);

    const float dx = frame.sx * std::sin(0.7f * t) * 5.0f + jitter[0];
    const float dy = frame.sy * std::cos(0.8f * t) * 5.0f + jitter[1];
    const float alpha = std::sin(0.6f * t) * 0.2f + 0.8f;
    kesh::writeLine(boost::log::logScreen(), "target-info: ", t, " ", sw, " ", sh,
                    ": ds: ", D3DXVECTOR2(dx, dy));

    kesh::SpriteBatch* batch = root->spriteBatch();
    batch->clear();
    batch->addTintedSprite(
        static_cast<int>(width * carPos[0] - static_cast<float>(carIcon.width / 2)),
        static_cast<int>(height * carPos[1] - static_cast<float>(carIcon.height / 2)), 1, carIcon,
        kWhite);
    const float tint[4] = {1.0f, 1.0f, 1.0f, alpha};
    batch->addTintedSprite(
        static_cast<int>(width * targetPos[0] + dx - static_cast<float>(marker.width / 2)),
        static_cast<int>(height * targetPos[1] + dy - static_cast<float>(marker.height / 2)), 1,
        marker, tint);
    batch->addTintedSprite(0, 0, 0, background, kWhite);
    batch->flush();
    root->render();

    marker.width = storedWidth;
    marker.height = storedHeight;
    if (t - lastPulse > kPulsePeriod) {
        pulse = (pulse + 1) % kPulseSteps;
        lastPulse = t;
    }
}

void GameMap::onMouseMove(int x, int y) {
    root->onMouseMove(x, y);
}

void GameMap::onMouseButton(int button, bool down) {
    root->onMouseButton(button, down);
}

void GameMap::onButton(unsigned id, void* /*user*/, unsigned /*event*/) {
    if (id == 0) {
        finished = true;
    }
}
