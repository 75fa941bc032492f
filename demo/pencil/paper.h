#pragma once

class Renderer;

// The paper grain laid over the pencil scene: "data/bg.png", drawn black
// so that it darkens the picture by its own alpha times the paper alpha of
// the pencil envelopes.

// Fetches the paper image from the image cache; kept for the run.
void loadPaperTexture();
// Nothing while the paper alpha is 0.
void drawPaper(Renderer& renderer);
