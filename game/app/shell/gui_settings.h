// What every GUI screen of the game is built with: the effect its sprites are drawn with
// and the folder of the shell's art (the atlas "shell.tai" lives there).
#pragma once

#include <string>

struct GuiSettings {
    std::string effect = "gui.fx";
    std::wstring textureFolder;  // with its trailing '/'
};
