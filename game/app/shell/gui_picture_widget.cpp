#include "game/app/shell/gui_picture_widget.h"

#include <utility>

#include "engine/render/gui/texture_atlas.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/shell/shell_art.h"

GuiPictureWidget::GuiPictureWidget(kesh::DxDevice* device, GuiSettings settingsGiven,
                                   const std::string& name)
    : settings(std::move(settingsGiven)) {
    // Only the frame is kept: the atlas is needed to resolve it, never again.
    kesh::TextureAtlas atlas;
    loadShellAtlas(settings, atlas);
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    root = std::make_unique<kesh::GuiRoot>(device, settings.effect);
    const D3DVIEWPORT9& viewport = device->getViewport();
    const int size[2] = {static_cast<int>(viewport.Width), static_cast<int>(viewport.Height)};
    picture = source.frame(name, size);
}

void GuiPictureWidget::draw() {
    static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    kesh::SpriteBatch* batch = root->spriteBatch();
    batch->clear();
    batch->addTintedSprite(0, 0, 0, picture, kWhite);
    batch->flush();
    root->render();
}
