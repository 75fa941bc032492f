#include "framework/render/draw_probe.h"

namespace {

DrawProbe* probe = nullptr;
const char* currentSource = nullptr;

}  // namespace

const char* DrawProbe::kindName(Kind kind) {
    switch (kind) {
        case Fill: return "fill";
        case TexturedFill: return "textured fill";
        case SmoothLine: return "smooth line";
        case PlainLine: return "plain line";
        case StippledLine: return "stippled line";
        case TexturedLine: return "textured line";
        case TinyFigure: return "tiny figure";
        case RawQuad: return "raw quad";
        case KindCount: break;
    }
    return "?";
}

namespace draw_probe {

DrawProbe* installed() { return probe; }

void install(DrawProbe* newProbe) { probe = newProbe; }

void markSource(const char* source) { currentSource = source; }

const char* source() { return currentSource; }

}  // namespace draw_probe
