// The art tool: writes the whole art folder the game reads, from the committed text art and
// its own generators. Same bytes on every run.
//
//   arttool <art folder> <committed art> <font file> [<picture folder>]
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/arttool/art_output.h"
#include "tools/arttool/car_art.h"
#include "tools/arttool/committed_art.h"
#include "tools/arttool/drive_test_level.h"
#include "tools/arttool/gui_atlas.h"
#include "tools/arttool/interface_art.h"
#include "tools/arttool/sounds.h"
#include "tools/arttool/text_painter.h"
#include "tools/arttool/textures.h"
#include "tools/arttool/town.h"
#include "tools/arttool/town_plan.h"
#include "tools/arttool/videos.h"

namespace {

// Written into every art folder the tool makes, so that it only ever clears its own.
const char* const marker = ".arttool";

void clearOwnFolder(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    if (!fs::exists(root)) {
        return;
    }
    if (!fs::is_empty(root) && !fs::exists(root / marker)) {
        throw std::runtime_error(root.string() + " holds files the art tool did not make");
    }
    fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: arttool <art folder> <committed art> <font file> [<picture folder>]\n";
        return 2;
    }
    try {
        const std::filesystem::path root(argv[1]);
        clearOwnFolder(root);
        const arttool::ArtOutput out(root.string(), argc > 4 ? argv[4] : "");
        out.write(marker, std::string("made by the art tool; rebuilt on every run\n"));
        arttool::copyCommittedArt(out, argv[2]);
        arttool::makeSounds(out);
        const arttool::TextPainter text(argv[3]);
        const arttool::TownPlan plan = arttool::makeTownPlan();
        arttool::makeTextures(out);
        arttool::makeGuiAtlas(out, text, plan);
        arttool::makeCarArt(out);
        arttool::makeTown(out, plan);
        arttool::makeDriveTestLevel(out);
        arttool::makeInterfaceArt(out);
        arttool::makeVideos(out, text);
    } catch (const std::exception& error) {
        std::cerr << "arttool: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
