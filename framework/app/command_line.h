#pragma once

#include <map>
#include <string>

// Options given as name=value words on the command line; every other word
// is ignored. The first value of a name stays.
class CommandLine {
public:
    static constexpr int maxWords = 1000;

    explicit CommandLine(const char* text);

    bool has(const std::string& name) const;
    std::string get(const std::string& name) const;
    // True for "true", "TRUE", "yes", "YES", "on", "ON" and "1" only.
    bool getBool(const std::string& name) const;

    static std::string optionName(const std::string& word);
    static std::string optionValue(const std::string& word);

private:
    std::map<std::string, std::string> options_;
};

bool isOptionWord(const std::string& word);
// Index of the first c in text, or -1.
int indexOfChar(char c, const std::string& text);
