#include "game/app/game_options.h"

#include "engine/core/strings.h"

bool optionGiven(const CommandLine& commandLine, const char* name) {
    return commandLine.hasFlag(name) || commandLine.hasValue(name);
}

GameOptions gameOptionsFrom(const CommandLine& commandLine) {
    GameOptions options;
    if (commandLine.hasValue("level")) {
        options.level = L"levels/" + kesh::toWide(commandLine.value("level"));
    }
    options.mouse = optionGiven(commandLine, "mouse");
    options.tga = optionGiven(commandLine, "tga");
    options.fps = optionGiven(commandLine, "fps");
    options.camera = optionGiven(commandLine, "camera");
    options.effect =
        commandLine.hasValue("effect") ? commandLine.value("effect") : "/effect unspecified";
    return options;
}
