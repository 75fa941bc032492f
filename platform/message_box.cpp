#include "platform/message_box.h"

#include "platform/gl_surface.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {
namespace {

enum class Answer { None, Yes, No };

Answer presetAnswer() {
    const char* preset = std::getenv("VORN_MESSAGEBOX");
    if (!preset) return Answer::None;
    if (std::strcmp(preset, "yes") == 0) return Answer::Yes;
    if (std::strcmp(preset, "no") == 0) return Answer::No;
    return Answer::None;
}

void echo(const char* text, const char* caption) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
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
        echo(text, caption);
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
        echo(text, caption);
        return false;
    }
    return pressed == yesId;
}

}  // namespace host
