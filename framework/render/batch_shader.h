#pragma once

// The one program the batching renderer draws with: fills as they are, lines
// as quads whose fragments work out the coverage, stipple and pixel choice
// that the driver's own line stages give, and tiny figures as quads that sum
// their outline segments read from a texture of segments.
class BatchShader {
public:
    // Vertex attribute slots, in the order BatchVertex holds them.
    enum Attribute { Start, End, Corner, Color, TexCoord, Line, AttributeCount };

    // Compiles and links; throws zentac::Exception with the driver's log when
    // it cannot. Needs the OpenGL context current.
    BatchShader();

    // Makes the program current with the viewport the window coordinates
    // are taken in.
    void use(int viewportX, int viewportY, int viewportWidth, int viewportHeight);

private:
    unsigned program_ = 0;
    int viewportOrigin_ = -1;
    int viewportSize_ = -1;
    int image_ = -1;
    int segments_ = -1;
};
