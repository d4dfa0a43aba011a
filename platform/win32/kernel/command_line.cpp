// GetCommandLineW: the command line as Windows would hand it to the game.
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "internal.h"
#include "win32/kernel.h"
#include "win32/process.h"
#include "win32/seams.h"

namespace {

std::wstring& builtCommandLine() {
    static std::wstring line;
    return line;
}

bool& commandLineBuilt() {
    static bool built = false;
    return built;
}

// The game splits at blanks and groups with double quotes, without escapes: an argument
// that is empty or holds a blank must be quoted to stay one word.
void appendWord(std::wstring& line, const std::wstring& word, bool alwaysQuote) {
    const bool quote = alwaysQuote || word.empty() || word.find_first_of(L" \t") != word.npos;
    if (quote) {
        line += L'"';
    }
    line += word;
    if (quote) {
        line += L'"';
    }
}

std::wstring buildCommandLine(const std::vector<std::string>& arguments) {
    std::wstring line;
    char path[4096];
    const long length = win32::detail::readExecutablePath(path, sizeof path);
    appendWord(line,
               win32::detail::widenBytes(path, length < 0 ? 0u : static_cast<std::size_t>(length)),
               true);
    for (const std::string& argument : arguments) {
        line += L' ';
        appendWord(line, win32::detail::widenBytes(argument.data(), argument.size()), false);
    }
    return line;
}

// Without a recorded argv: the kernel's own copy, NUL-separated, the program first.
std::vector<std::string> argumentsFromProc() {
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\0', start);
        if (end == std::string::npos) {
            end = all.size();
        }
        words.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    if (!words.empty()) {
        words.erase(words.begin());
    }
    return words;
}

}  // namespace

namespace win32::detail {

std::optional<std::wstring>& commandLineOverride() {
    static std::optional<std::wstring> line;
    return line;
}

}  // namespace win32::detail

LPWSTR GetCommandLineW() {
    if (win32::detail::commandLineOverride()) {
        return win32::detail::commandLineOverride()->data();
    }
    if (!commandLineBuilt()) {
        builtCommandLine() = buildCommandLine(argumentsFromProc());
        commandLineBuilt() = true;
    }
    return builtCommandLine().data();
}

namespace win32 {

void recordCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    builtCommandLine() = buildCommandLine(arguments);
    commandLineBuilt() = true;
}

std::optional<std::wstring> overrideCommandLine(std::optional<std::wstring> commandLine) {
    return std::exchange(detail::commandLineOverride(), std::move(commandLine));
}

}  // namespace win32
