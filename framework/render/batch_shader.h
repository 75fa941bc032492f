#pragma once

// The programs the batching renderer draws with, on one vertex layout: one
// for fills as they are, one for lines as quads whose fragments work out the
// coverage, stipple and pixel choice that the driver's own line stages give,
// and for tiny figures as quads that sum their outline segments read from a
// texture of segments.
class BatchShader {
public:
    // Vertex attribute slots, in the order BatchVertex holds them.
    enum Attribute { Start, End, Corner, Color, TexCoord, Line, AttributeCount };
    enum Kind { Fills, Lines };

    // Compiles and links; throws zentac::Exception with the driver's log when
    // it cannot. Needs the OpenGL context current.
    BatchShader();

    // Makes the kind's program current with the viewport the window
    // coordinates are taken in.
    void use(Kind kind, int viewportX, int viewportY, int viewportWidth, int viewportHeight);

private:
    struct Program {
        unsigned id = 0;
        int viewportOrigin = -1;
        int viewportSize = -1;
        int image = -1;
        int segments = -1;
    };
    static Program link(unsigned vertexShader, const char* fragmentSource);

    Program fills_;
    Program lines_;
};
