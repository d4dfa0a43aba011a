#include "game/app/command_line.h"

#include <algorithm>

#include <boost/tokenizer.hpp>

namespace {

bool isOptionMark(char c) {
    return c == '-' || c == '/';
}

}  // namespace

CommandLine::CommandLine(const std::string& commandLine) {
    typedef boost::tokenizer<boost::escaped_list_separator<char>> Tokens;
    typedef boost::tokenizer<boost::char_separator<char>> Pieces;

    const boost::escaped_list_separator<char> separator(std::string(""), std::string(" "),
                                                        std::string("\""));
    const Tokens tokens(commandLine, separator);
    const boost::char_separator<char> equals("=");
    for (const std::string& token : tokens) {
        const Pieces pieceTokens(token, equals);
        const std::vector<std::string> pieces(pieceTokens.begin(), pieceTokens.end());
        if (pieces.empty()) {
            continue;
        }
        if (pieces.size() == 1) {
            const std::string& piece = pieces[0];
            if (isOptionMark(piece[0])) {
                flags.push_back(piece.substr(1));
            } else {
                words.push_back(piece);
            }
            continue;
        }
        std::string name = pieces[0];
        if (!name.empty() && isOptionMark(name[0])) {
            name.erase(0, 1);
        }
        pairs.emplace_back(name, pieces[1]);
    }
}

bool CommandLine::hasValue(const char* name) const {
    return std::any_of(pairs.begin(), pairs.end(),
                       [name](const auto& pair) { return pair.first == name; });
}

bool CommandLine::hasFlag(const char* name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::string CommandLine::value(const char* name) const {
    const auto found = std::find_if(pairs.begin(), pairs.end(),
                                    [name](const auto& pair) { return pair.first == name; });
    return found == pairs.end() ? std::string() : found->second;
}
