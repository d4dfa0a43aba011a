// Effect texts and the effect list: the same bytes are read as one effect text and as an
// effect list over a folder of texts (one of them the input itself). Any input must end in
// a description or in the reader's own std::runtime_error, never in a crash.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "engine/core/strings.h"
#include "engine/render/visual_effects/effect_list.h"
#include "engine/render/visual_effects/effect_text.h"

namespace {

// A folder of its own for the run, with two fixed texts for list lines to name.
struct TextFolder {
    TextFolder()
        : path(std::filesystem::temp_directory_path() /
               ("effect_text_fuzz." + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
        std::ofstream(path / "flare.txt") << ":Billboard\ntexture flare.dds\nsize 2 2\n";
        std::ofstream(path / "glow.txt") << ":PlainMesh\nmesh glow.wfm\nblendMode 1\n";
    }
    ~TextFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::filesystem::path path;
};

const std::filesystem::path& textFolder() {
    static const TextFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    kesh::EffectLibrary library;
    std::istringstream text(input);
    kesh::parseEffectText(library, "input", text);

    const std::filesystem::path& folder = textFolder();
    std::ofstream(folder / "input.txt", std::ios::binary) << input;
    // List lines name files inside the folder only: no separators reach a path.
    std::string list = input;
    for (char& c : list) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    std::istringstream listStream(list);
    try {
        kesh::readEffectListFrom(library, kesh::toWide(folder.string() + "/"), listStream);
    } catch (const std::runtime_error&) {
        // A list line naming no readable text ends the list, as the manager logs it.
    }
    return 0;
}
