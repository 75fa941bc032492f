#include "platform/message_box.h"

#include "platform/gl_surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace host {
namespace {

enum class Answer { None, Yes, No };

Answer parseAnswer(const std::string& word) {
    if (word == "yes") return Answer::Yes;
    if (word == "no") return Answer::No;
    return Answer::None;
}

// VORN_MESSAGEBOX answers the boxes in turn: "no,yes" says No to the first
// and Yes to every later one. Any word but yes or no leaves every box to be
// shown. The turn counts from the box at which the variable took its value.
Answer presetAnswer() {
    static std::string counted;
    static std::size_t asked = 0;
    const char* preset = std::getenv("VORN_MESSAGEBOX");
    if (!preset) return Answer::None;
    if (counted != preset) {
        counted = preset;
        asked = 0;
    }
    std::vector<Answer> answers;
    std::stringstream words(counted);
    for (std::string word; std::getline(words, word, ',');) answers.push_back(parseAnswer(word));
    if (answers.empty() || std::find(answers.begin(), answers.end(), Answer::None) != answers.end()) {
        return Answer::None;
    }
    return answers[std::min(asked++, answers.size() - 1)];
}

void echo(const char* text, const char* caption, Buttons buttons, bool yes) {
    const char* answer = buttons == Buttons::Ok ? "OK" : yes ? "Yes" : "No";
    std::fprintf(stderr, "[%s] %s\n(answered %s)\n", caption, text, answer);
    std::fflush(stderr);
}

Uint32 iconFlags(Icon icon) {
    switch (icon) {
        case Icon::Error: return SDL_MESSAGEBOX_ERROR;
        case Icon::Information:
        case Icon::Question: return SDL_MESSAGEBOX_INFORMATION;
        case Icon::None: break;
    }
    return 0;
}

}  // namespace

bool messageBox(const char* text, const char* caption, Buttons buttons, Icon icon) {
    Answer preset = presetAnswer();
    if (preset != Answer::None) {
        echo(text, caption, buttons, preset == Answer::Yes);
        return preset == Answer::Yes;
    }

    constexpr int yesId = 1;
    constexpr int noId = 0;
    SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, yesId, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, noId, "No"},
    };
    SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, yesId, "OK"},
    };
    SDL_MessageBoxData box{};
    box.flags = iconFlags(icon);
    box.window = surfaceWindow();
    box.title = caption;
    box.message = text;
    box.numbuttons = buttons == Buttons::YesNo ? 2 : 1;
    box.buttons = buttons == Buttons::YesNo ? yesNo : ok;

    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        echo(text, caption, buttons, false);
        return false;
    }
    return pressed == yesId;
}

}  // namespace host
