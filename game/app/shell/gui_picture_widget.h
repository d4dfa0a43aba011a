// One picture of the shell's atlas over the whole screen: the loading, win and lose
// screens and the exit screen.
#pragma once

#include <memory>
#include <string>

#include "engine/render/device/dx_device.h"
#include "engine/render/gui/gui_root.h"
#include "engine/render/gui/sprite_frame.h"
#include "game/app/shell/gui_settings.h"

class GuiPictureWidget {
public:
    // The picture is sized to the device's viewport as it is now; a name the atlas lacks
    // is taken as a texture's name.
    GuiPictureWidget(kesh::DxDevice* device, GuiSettings settings, const std::string& name);

    // Inside the device's scene.
    void draw();

    const kesh::SpriteFrame& frame() const { return picture; }

private:
    GuiSettings settings;
    std::unique_ptr<kesh::GuiRoot> root;
    kesh::SpriteFrame picture;
};
