#pragma once

// The programs the batching renderer draws with, on one vertex layout: fills
// as they are, lines as quads whose fragments work out the coverage, stipple
// and pixel choice that the driver's own line stages give, and tiny figures
// as quads that sum their outline segments read from a texture of segments.
// Each set of features a run needs gets a program of its own, linked on
// first use.
class BatchShader {
public:
    // Vertex attribute slots, in the order the batch's vertices hold them.
    enum Attribute { Start, End, Corner, Color, TexCoord, Line, AttributeCount };
    // What the primitives of a run need of its program; its program holds
    // the rules of each of them, and only those: the driver runs every
    // branch of a program for every fragment. Each vertex tells which rules
    // apply to it (line.y: 0 fill, 1 smooth line, 2 plain line, 3 tiny
    // figure; a stipple factor, texCoord.z textured).
    enum Feature : unsigned { Textured = 1, SmoothLines = 2, PlainLines = 4, Spots = 8, Stipples = 16 };
    static constexpr unsigned kFeatureSets = 32;

    // Builds the program of plain fills. Building a program throws
    // zentac::Exception with the driver's log when it cannot. Needs the
    // OpenGL context current.
    BatchShader();

    // Makes the program of these features current, built on first use,
    // with the viewport (x, y, width, height) the window coordinates are
    // taken in.
    void use(unsigned features, const float viewport[4]);

private:
    struct Program {
        unsigned id = 0;
        int viewportOrigin = -1;
        int viewportSize = -1;
        // What its viewport uniforms hold.
        float viewport[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
    };
    Program link(unsigned features);

    Program programs_[kFeatureSets];
};
