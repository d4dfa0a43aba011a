#include "engine/core/log/log_pattern.h"

#include <vector>

namespace boost {
namespace log {

namespace {

std::vector<std::string> piecesBetweenStars(const std::string& pattern) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    while (start <= pattern.size()) {
        std::string::size_type star = pattern.find('*', start);
        if (star == std::string::npos) {
            star = pattern.size();
        }
        if (star > start) {
            pieces.push_back(pattern.substr(start, star - start));
        }
        start = star + 1;
    }
    return pieces;
}

}  // namespace

bool matchLogPattern(const std::string& name, const std::string& pattern) {
    if (pattern.empty() || pattern == "*") {
        return true;
    }
    const std::vector<std::string> pieces = piecesBetweenStars(pattern);
    if (pieces.empty()) {
        return true;
    }
    const bool startAnchored = pattern.front() != '*';
    const bool endAnchored = pattern.back() != '*';

    std::string::size_type position = 0;
    for (const std::string& piece : pieces) {
        const std::string::size_type found = name.find(piece, position);
        if (found == std::string::npos) {
            return false;
        }
        position = found + piece.size();
    }
    if (startAnchored && name.find(pieces.front()) != 0) {
        return false;
    }
    if (endAnchored && position != name.size()) {
        return false;
    }
    return true;
}

}  // namespace log
}  // namespace boost
