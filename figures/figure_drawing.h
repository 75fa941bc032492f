#pragma once

class Element;
class Renderer;

// How every figure shape is drawn, under the figure envelopes: a flickering
// fill and a pulsing, jittering outline, both zoomed about the screen centre.
// (x, y) is where the element's points are relative to.

void drawFigureFill(Renderer& renderer, const Element& e, float x, float y);

// The closed outline as separate segments. With jitter on, each segment
// starts where the previous one ended, the first starts undisplaced and the
// last ends at a newly displaced copy of the first point; two draws per
// segment.
void drawFigureOutline(Renderer& renderer, const Element& e, float x, float y);
