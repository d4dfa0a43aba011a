// The program's command line as words, flags and name=value pairs.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CommandLine {
public:
    // Blanks separate tokens, double quotes group them (and are removed), there is no
    // escape character, so Windows paths keep their backslashes.
    explicit CommandLine(const std::string& commandLine);

    bool hasValue(const char* name) const;
    bool hasFlag(const char* name) const;
    // The value of the first pair with this name; empty when there is none.
    std::string value(const char* name) const;

    const std::vector<std::string>& getWords() const { return words; }
    const std::vector<std::string>& getFlags() const { return flags; }
    const std::vector<std::pair<std::string, std::string>>& getPairs() const { return pairs; }

private:
    std::vector<std::string> words;
    std::vector<std::string> flags;
    std::vector<std::pair<std::string, std::string>> pairs;
};
