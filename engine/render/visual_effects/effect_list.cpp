#include "engine/render/visual_effects/effect_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/visual_effects/effect_text.h"
#include "win32/file_paths.h"

namespace kesh {

void openTextFile(std::ifstream& file, const std::wstring& path) {
    std::string native = toNarrow(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    std::error_code error;
    if (!std::filesystem::exists(native, error)) {
        const std::optional<std::string> matched = win32::findExistingPath(native);
        if (matched) {
            native = *matched;
        }
    }
    // A directory opens as a file on this system and fails only at its first read; it is
    // turned away here so that it fails as a missing file does.
    if (!std::filesystem::is_regular_file(native, error)) {
        file.setstate(std::ios::failbit);
        return;
    }
    file.open(native);
}

void readEffectListFrom(EffectLibrary& library, const std::wstring& directory, std::istream& list) {
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string name, file;
        words >> name >> file;
        const std::wstring path = directory + toWide(file);
        writeLine(boost::log::logDebug(), "Reading `", name, "' from `", toNarrow(path), "'");
        std::ifstream text;
        openTextFile(text, path);
        parseEffectText(library, name, text);
    }
    if (list.bad() || !list.eof()) {
        throwRuntimeError(L"Stream read failed");
    }
}

}  // namespace kesh
