#include "framework/app/command_line.h"

#include <vector>

namespace {

// Cut at runs of blanks (code 32 only); a trailing run gives one empty word.
// Words past the limit are ignored.
std::vector<std::string> splitWords(const char* text) {
    std::vector<std::string> words;
    const char* p = text;
    while (*p == ' ') ++p;
    while (*p && static_cast<int>(words.size()) < CommandLine::maxWords) {
        const char* start = p;
        while (*p && *p != ' ') ++p;
        words.emplace_back(start, p);
        while (*p == ' ') ++p;
        if (!*p && p[-1] == ' ' && static_cast<int>(words.size()) < CommandLine::maxWords) words.emplace_back();
    }
    return words;
}

}  // namespace

int indexOfChar(char c, const std::string& text) {
    std::size_t at = text.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

bool isOptionWord(const std::string& word) {
    int at = indexOfChar('=', word);
    return at > 0 && at != static_cast<int>(word.size()) - 1;
}

std::string CommandLine::optionName(const std::string& word) { return word.substr(0, word.find('=')); }

std::string CommandLine::optionValue(const std::string& word) {
    std::size_t start = word.find('=') + 1;
    std::size_t end = word.find('=', start);
    return word.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

CommandLine::CommandLine(const char* text) {
    for (const std::string& word : splitWords(text)) {
        if (isOptionWord(word)) options_.emplace(optionName(word), optionValue(word));
    }
}

bool CommandLine::has(const std::string& name) const { return options_.count(name) != 0; }

std::string CommandLine::get(const std::string& name) const {
    auto found = options_.find(name);
    return found == options_.end() ? std::string() : found->second;
}

bool CommandLine::getBool(const std::string& name) const {
    static const char* const trueWords[] = {"true", "TRUE", "yes", "YES", "on", "ON", "1"};
    std::string value = get(name);
    for (const char* word : trueWords) {
        if (value == word) return true;
    }
    return false;
}
