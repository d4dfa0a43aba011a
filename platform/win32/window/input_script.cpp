#include "window/input_script.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "win32/window_seams.h"
#include "window/native_events.h"
#include "window/window_system.h"

namespace {

struct ScriptEvent {
    long frame = 0;
    std::vector<std::string> words;
};

struct Script {
    bool active = false;
    std::vector<ScriptEvent> events;  // in file order; frames must not go back
    std::size_t next = 0;
    long frame = 0;
    win32::InputScriptExtension extension = nullptr;
    // Lines for the extension that came before it was set: played when it is.
    std::vector<std::vector<std::string>> waiting;
};

// Reads the script's lines; the events of a line with a frame before the last are dropped.
void readEvents(std::istream& input, Script& script) {
    std::string line;
    long lastFrame = 0;
    while (std::getline(input, line)) {
        const std::size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        std::istringstream stream(line);
        ScriptEvent event;
        if (!(stream >> event.frame)) {
            continue;
        }
        for (std::string word; stream >> word;) {
            event.words.push_back(word);
        }
        if (event.words.empty() || event.frame < lastFrame) {
            std::fprintf(stderr, "input script: bad line: %s\n", line.c_str());
            continue;
        }
        lastFrame = event.frame;
        script.events.push_back(std::move(event));
    }
}

Script load() {
    Script script;
    const char* path = std::getenv("MORVALE_INPUT_SCRIPT");
    if (path == nullptr || *path == '\0') {
        return script;
    }
    script.active = true;
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "input script: cannot open %s\n", path);
        return script;
    }
    readEvents(file, script);
    return script;
}

Script& script() {
    static Script instance = load();
    return instance;
}

WPARAM virtualKeyNamed(const std::string& name) {
    static const std::pair<const char*, WPARAM> named[] = {
        {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},         {"RETURN", VK_RETURN}, {"SPACE", VK_SPACE},
        {"UP", VK_UP},         {"DOWN", VK_DOWN},       {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},
        {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"BACK", VK_BACK},
    };
    for (const auto& entry : named) {
        if (name == entry.first) {
            return entry.second;
        }
    }
    // F1 .. F12
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' &&
        std::isdigit(static_cast<unsigned char>(name[1]))) {
        const int number = std::atoi(name.c_str() + 1);
        if (number >= 1 && number <= 12 && std::all_of(name.begin() + 1, name.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c));
            })) {
            return static_cast<WPARAM>(VK_F1 + number - 1);
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<WPARAM>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    return 0;
}

int number(const std::string& word) {
    return static_cast<int>(std::strtol(word.c_str(), nullptr, 10));
}

// Returns the events of the next frame it must queue (a press's release, a click's button up).
bool play(const std::vector<std::string>& words, std::vector<std::vector<std::string>>& later) {
    win32::WindowSystem& system = win32::WindowSystem::instance();
    const std::vector<HWND> windows = system.windows();
    win32::Window* window = windows.empty() ? nullptr : system.find(windows.front());
    const std::string& verb = words[0];
    if ((verb == "press" || verb == "down" || verb == "up") && words.size() == 2) {
        const WPARAM key = virtualKeyNamed(words[1]);
        if (key == 0 || window == nullptr) {
            return false;
        }
        win32::keyChanged(system, *window, key, verb != "up", false);
        if (verb == "press") {
            later.push_back({"up", words[1]});
        }
        return true;
    }
    if ((verb == "move" || verb == "click") && words.size() == 3) {
        if (window == nullptr) {
            return false;
        }
        const int x = number(words[1]);
        const int y = number(words[2]);
        win32::mouseMoved(system, *window, x, y, x - window->pointer.x, y - window->pointer.y, 0);
        if (verb == "click") {
            win32::mouseButtonChanged(system, *window, 1, true, x, y);
            later.push_back({"button", "1", "up", words[1], words[2]});
        }
        return true;
    }
    if (verb == "button" && words.size() >= 3) {
        if (window == nullptr) {
            return false;
        }
        const int x = words.size() == 5 ? number(words[3]) : window->pointer.x;
        const int y = words.size() == 5 ? number(words[4]) : window->pointer.y;
        win32::mouseButtonChanged(system, *window, number(words[1]), words[2] == "down", x, y);
        return true;
    }
    if (script().extension == nullptr) {
        script().waiting.push_back(words);
        return true;
    }
    return script().extension(words);
}

}  // namespace

namespace win32 {

void setInputScriptExtension(InputScriptExtension extension) {
    Script& state = script();
    state.extension = extension;
    std::vector<std::vector<std::string>> waiting;
    waiting.swap(state.waiting);
    for (const auto& words : waiting) {
        if (extension == nullptr || !extension(words)) {
            std::fprintf(stderr, "input script: cannot play '%s'\n", words[0].c_str());
        }
    }
}

void playInputScript(const std::string& text) {
    Script& state = script();
    Script fresh;
    fresh.active = !text.empty();
    std::istringstream input(text);
    readEvents(input, fresh);
    // The extension belongs to the layer that set it, not to the script.
    fresh.extension = state.extension;
    state = std::move(fresh);
}

bool inputScriptActive() {
    return script().active;
}

namespace detail {

void playInputScriptFrame() {
    Script& state = script();
    if (!state.active) {
        return;
    }
    ++state.frame;
    std::vector<std::vector<std::string>> later;
    while (state.next < state.events.size() && state.events[state.next].frame <= state.frame) {
        const ScriptEvent& event = state.events[state.next++];
        if (!play(event.words, later)) {
            std::fprintf(stderr, "input script: frame %ld: cannot play '%s'\n", event.frame,
                         event.words[0].c_str());
        }
    }
    // Releases go in as events of the next frame, after any the script has there itself.
    std::size_t insertAt = state.next;
    while (insertAt < state.events.size() && state.events[insertAt].frame == state.frame + 1) {
        ++insertAt;
    }
    for (auto& words : later) {
        state.events.insert(state.events.begin() + static_cast<std::ptrdiff_t>(insertAt++),
                            ScriptEvent{state.frame + 1, std::move(words)});
    }
}

}  // namespace detail
}  // namespace win32
