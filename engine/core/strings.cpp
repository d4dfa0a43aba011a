#include "engine/core/strings.h"

#include <cctype>

namespace kesh {

std::string toLower(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

std::string toNarrow(const std::wstring& text) {
    std::string narrow(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        narrow[i] = static_cast<char>(static_cast<unsigned char>(text[i] & 0xFF));
    }
    return narrow;
}

std::wstring toWide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    return wide;
}

}  // namespace kesh
