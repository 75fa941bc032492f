#include "framework/render/batch_shader.h"

#include "engine/core/exception.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

// The driver gives every output between the stages four components of its
// own and sets each one up for every triangle: the flat values share two,
// the texturing flag rides with the texture coordinates (the same at every
// corner, so interpolating keeps it), and both stages name the parts.
const char* const kSharedNames = R"(
#define lineStart lineEnds.xy
#define lineEnd lineEnds.zw
#define textured fragmentTexCoord.z
)";

// Line vertices carry both ends of their line. The quad around a line
// reaches in window pixels just far enough for every pixel the line can
// touch: corner.x 0 and 1 are its start and end edges, corner.y -1 and 1 its
// sides. A short line instead gets one triangle holding that quad, with
// corners (0, -1), (0, 3) and (2, -1): the driver's cost goes by triangles.
// line: width, kind (0 fill, 1 smooth line, 2 plain line), stipple factor (0
// for none), stipple pattern. A tiny figure's triangle (kind 3) comes in
// window pixels: start its corner and the outline's half width, end its
// first segment and their count, corner the fill's mask origin, texCoord and
// line.x the fill's colour, line.z its alpha, line.w its mask. Between the
// stages a tiny figure's kind is 3 plus its mask, and its half width takes
// the stipple pattern's place.
const char* const kVertexSource = R"(
uniform vec2 viewportOrigin;
uniform vec2 viewportSize;
in vec3 start;
in vec3 end;
in vec2 corner;
in vec4 color;
in vec3 texCoord;
in vec4 line;
out vec4 fragmentColor;
out vec3 fragmentTexCoord;
flat out vec4 lineEnds;
flat out vec4 lineParameters;

vec2 toWindow(vec4 clip) { return (clip.xy / clip.w * 0.5 + 0.5) * viewportSize + viewportOrigin; }

void main() {
    // Fixed-function colours are held to 0..1 before they are interpolated;
    // callers do pass alphas above 1.
    fragmentColor = clamp(color, 0.0, 1.0);
    fragmentTexCoord = texCoord;
    lineParameters = line;
    lineStart = vec2(0.0);
    lineEnd = vec2(0.0);
#if SPOTS
    if (line.y == 3.0) {
        lineParameters = vec4(line.x, 3.0 + line.w, line.z, start.z);
        lineStart = end.xy;
        lineEnd = corner;
        // Already in window pixels.
        gl_Position = vec4((start.xy - viewportOrigin) / viewportSize * 2.0 - 1.0, 0.0, 1.0);
        return;
    }
#endif
    vec4 a = gl_ModelViewProjectionMatrix * vec4(start, 1.0);
#if SMOOTH_LINES || PLAIN_LINES
    if (line.y == 0.0) {
        gl_Position = a;
        return;
    }
    vec4 b = gl_ModelViewProjectionMatrix * vec4(end, 1.0);
    // The driver clips lines to the viewport before its line stages: their
    // ramps and stipple start where a line comes into view.
    vec2 from = toWindow(a);
    vec2 to = toWindow(b);
    vec2 range = vec2(0.0, 1.0);
    for (int axis = 0; axis < 2; ++axis) {
        float delta = to[axis] - from[axis];
        float low = viewportOrigin[axis];
        float high = viewportOrigin[axis] + viewportSize[axis];
        if (delta == 0.0) {
            if (from[axis] < low || from[axis] > high) range = vec2(1.0, 0.0);
        } else {
            float enter = (low - from[axis]) / delta;
            float leave = (high - from[axis]) / delta;
            range = vec2(max(range.x, min(enter, leave)), min(range.y, max(enter, leave)));
        }
    }
    if (range.x > range.y) {
        gl_Position = vec4(2.0, 2.0, 0.0, 1.0);
        return;
    }
    vec4 clippedStart = mix(a, b, range.x);
    b = mix(a, b, range.y);
    a = clippedStart;
    lineStart = mix(from, to, range.x);
    lineEnd = mix(from, to, range.y);
    vec2 d = lineEnd - lineStart;
    float len = length(d);
    vec2 along = len > 0.0 ? d / len : vec2(1.0, 0.0);
    vec2 across = vec2(-along.y, along.x);
    // A smooth line covers no pixel centre more than half a pixel beyond its
    // edges and ends; a plain one none a whole pixel beyond. The ends' colour
    // and texture coordinates spread over the whole quad, as the driver
    // spreads them over its own, which reaches exactly half a pixel further.
    float margin = line.y == 1.0 ? 0.5 : 1.02;
    float reach = max(line.x, 1.0) * 0.5 + margin + 0.02;
    vec4 own = corner.x > 0.5 ? b : a;
    vec2 p = lineStart + along * (corner.x * (len + 2.0 * margin) - margin) + across * (corner.y * reach);
    gl_Position = vec4(((p - viewportOrigin) / viewportSize * 2.0 - 1.0) * own.w, own.z, own.w);
#else
    gl_Position = a;
#endif
}
)";

// Smooth lines: coverage across is halfWidth + 0.5 - |distance| with the
// width at least 1, along min(distance from either end) + 0.5, and a line
// shorter than a pixel is weakened by 2 length / (length + 1). Plain lines
// light the pixels whose centre lies within half their width (rounded to
// whole pixels, at least 1) along the minor axis, over the major axis from
// the start up to the end, with the ends snapped to 1/256 pixel; the pixel
// holding an end is lit when the start lies inside its diamond, and left
// out when the end does. A stipple counts steps from the start: a pixel of
// length for smooth lines, a pixel of the major axis for plain ones; each run
// of set bits is a line of its own.
//
// A program holds the rules its run needs (TEXTURED, SMOOTH_LINES,
// PLAIN_LINES, SPOTS, STIPPLES); each fragment applies those its vertices
// ask for.
const char* const kFragmentSource = R"(
uniform sampler2D image;
uniform sampler2D segments;
in vec4 fragmentColor;
in vec3 fragmentTexCoord;
flat in vec4 lineEnds;
flat in vec4 lineParameters;

#if STIPPLES
// The driver has no vector integer division and does it a lane at a time;
// a float quotient, put right by one where it rounded across, costs far less.
bool bitOn(int pattern, int step, int factor) {
    int bit = int(float(step) / float(factor));
    bit -= bit * factor > step ? 1 : 0;
    bit += (bit + 1) * factor <= step ? 1 : 0;
    return ((pattern >> (bit & 15)) & 1) != 0;
}

// The run of set bits that step i (set) belongs to, as [first, end) in
// steps; a run going on beyond a few steps ends out of reach of the pixel.
vec2 stippleRun(int i, int steps) {
    int pattern = int(lineParameters.w);
    int factor = int(lineParameters.z);
    int first = i;
    while (first > 0 && first > i - 4 && bitOn(pattern, first - 1, factor)) --first;
    int last = i;
    while (last + 1 < steps && last < i + 4 && bitOn(pattern, last + 1, factor)) ++last;
    return vec2(float(first), float(last + 1));
}

// The steps near a pixel a stipple may light it from, [first, last]; the
// whole line is one step when it has no stipple.
ivec2 nearSteps(float along, int steps) {
    if (lineParameters.z == 0.0) return ivec2(0, 0);
    return ivec2(max(int(floor(along - 1.0)), 0), min(int(floor(along + 1.0)), steps - 1));
}

// The part of the line that step i lights, in steps: all of it without a
// stipple, nothing where the bit is clear.
vec2 litRun(int i, int steps, float len) {
    if (lineParameters.z == 0.0) return vec2(0.0, len);
    if (!bitOn(int(lineParameters.w), i, int(lineParameters.z))) return vec2(0.0);
    return min(stippleRun(i, steps), len);
}
#else
// Without a stipple the whole line is one step that lights all of it.
ivec2 nearSteps(float along, int steps) { return ivec2(0, 0); }
vec2 litRun(int i, int steps, float len) { return vec2(0.0, len); }
#endif

float rampCoverage(float along, float across, float len, float halfWidth) {
    float c = clamp(halfWidth + 0.5 - abs(across), 0.0, 1.0) * clamp(min(along, len - along) + 0.5, 0.0, 1.0);
    return len < 1.0 ? c * 2.0 * len / (len + 1.0) : c;
}

#if SMOOTH_LINES
#if STIPPLES
// The same coverage as taking every near step's run, without loops the
// driver would run as often as its slowest pixel needs. A run's end more
// than a step and a half from the pixel leaves it whole coverage along, so
// the five steps from one before the near ones to one after decide: bit k
// of lit is step near.x - 1 + k. Near steps in one run give one coverage:
// only the first lit one of each run counts.
float stippledCoverage(float along, float across, float len, float halfWidth) {
    int steps = int(ceil(len));
    ivec2 near = nearSteps(along, steps);
    int pattern = int(lineParameters.w);
    int factor = int(lineParameters.z);
    int lit = 0;
    for (int k = 0; k < 5; ++k) {
        int step = near.x - 1 + k;
        if (step >= 0 && step < steps && bitOn(pattern, step, factor)) lit |= 1 << k;
    }
    float best = 0.0;
    for (int k = 1; k <= 3; ++k) {
        bool first = near.x - 1 + k <= near.y && ((lit >> k) & 1) != 0 && (k == 1 || ((lit >> (k - 1)) & 1) == 0);
        int from = k == 1 && (lit & 1) != 0 ? 0 : k;
        int runLength = 1;
        for (int j = 1; j <= 3; ++j) runLength += runLength == j && ((lit >> (k + j)) & 1) != 0 ? 1 : 0;
        float start = float(near.x - 1 + from);
        float end = min(float(near.x - 1 + k + runLength), len);
        if (first) best = max(best, rampCoverage(along - start, across, end - start, halfWidth));
    }
    return best;
}
#endif

float smoothCoverage(vec2 p) {
    float halfWidth = max(lineParameters.x, 1.0) * 0.5;
    vec2 d = lineEnd - lineStart;
    float len = length(d);
    if (len == 0.0) return 0.0;
    vec2 u = d / len;
    float along = dot(p - lineStart, u);
    float across = dot(p - lineStart, vec2(-u.y, u.x));
#if STIPPLES
    if (lineParameters.z != 0.0) return stippledCoverage(along, across, len, halfWidth);
#endif
    return rampCoverage(along, across, len, halfWidth);
}
#endif

#if PLAIN_LINES
bool insideDiamond(vec2 q) { return abs(fract(q.x) - 0.5) + abs(fract(q.y) - 0.5) < 0.5; }

// p, from and to with the major axis first.
bool plainSegmentCovers(vec2 p, vec2 from, vec2 to) {
    vec2 s = floor(from * 256.0 + 0.5) / 256.0;
    vec2 e = floor(to * 256.0 + 0.5) / 256.0;
    if (e.x == s.x) return false;
    bool inRange = p.x >= min(s.x, e.x) && p.x < max(s.x, e.x);
    if (floor(p.x) == floor(from.x) && insideDiamond(from)) inRange = true;
    if (floor(p.x) == floor(to.x) && insideDiamond(to)) inRange = false;
    float minor = s.y + (p.x - s.x) * (e.y - s.y) / (e.x - s.x);
    float halfWidth = max(floor(lineParameters.x + 0.5), 1.0) * 0.5;
    return inRange && p.y >= minor - halfWidth && p.y < minor + halfWidth;
}

bool plainCovers(vec2 pixel) {
    vec2 d = lineEnd - lineStart;
    bool xMajor = abs(d.x) >= abs(d.y);
    vec2 p = xMajor ? pixel : pixel.yx;
    vec2 from = xMajor ? lineStart : lineStart.yx;
    vec2 to = xMajor ? lineEnd : lineEnd.yx;
    float len = abs(to.x - from.x);
    if (len == 0.0) return false;
    int steps = int(ceil(len));
    ivec2 near = nearSteps((p.x - from.x) * sign(to.x - from.x), steps);
    for (int i = near.x; i <= near.y; ++i) {
        vec2 run = litRun(i, steps, len) / len;
        if (run.y > run.x && plainSegmentCovers(p, mix(from, to, run.x), mix(from, to, run.y))) return true;
    }
    return false;
}
#endif

#if SPOTS
float segmentCoverage(vec2 p, vec2 from, vec2 to, float halfWidth) {
    vec2 d = to - from;
    float len = length(d);
    if (len == 0.0) return 0.0;
    vec2 u = d / len;
    return rampCoverage(dot(p - from, u), dot(p - from, vec2(-u.y, u.x)), len, halfWidth);
}

// A tiny figure: its outline segments (count lineStart.y from lineStart.x in
// the segments texture, 1024 to a row, half width lineParameters.w) each
// leave their coverage as if blended one after the other, over the fill's
// pixels (mask lineParameters.y - 3 from lineEnd) in the fill's colour
// (fragmentTexCoord.xy, lineParameters.x; alpha lineParameters.z).
vec4 spotColor(vec4 outlineColor) {
    float kept = 1.0;
    int first = int(lineStart.x);
    for (int i = first; i < first + int(lineStart.y); ++i) {
        vec4 segment = texelFetch(segments, ivec2(i % 1024, i / 1024), 0);
        kept *= 1.0 - outlineColor.a * segmentCoverage(gl_FragCoord.xy, segment.xy, segment.zw, lineParameters.w);
    }
    float outline = 1.0 - kept;
    ivec2 cell = ivec2(floor(gl_FragCoord.xy - lineEnd));
    bool filled = cell.x >= 0 && cell.y >= 0 && cell.x < 2 && cell.y < 2 &&
                  (((int(lineParameters.y) - 3) >> (cell.y * 2 + cell.x)) & 1) != 0;
    float fillAlpha = filled ? clamp(lineParameters.z, 0.0, 1.0) : 0.0;
    float alpha = 1.0 - (1.0 - fillAlpha) * kept;
    if (alpha == 0.0) discard;
    vec3 fill = clamp(vec3(fragmentTexCoord.xy, lineParameters.x), 0.0, 1.0);
    return vec4((fill * fillAlpha * kept + outlineColor.rgb * outline) / alpha, alpha);
}
#endif

void main() {
    vec4 c = fragmentColor;
#if TEXTURED
    if (textured > 0.5) c *= texture2D(image, fragmentTexCoord.xy);
#endif
#if SMOOTH_LINES
    if (lineParameters.y == 1.0) {
        float coverage = smoothCoverage(gl_FragCoord.xy);
        if (coverage == 0.0) discard;
        c.a *= coverage;
    }
#endif
#if PLAIN_LINES
    if (lineParameters.y == 2.0 && !plainCovers(gl_FragCoord.xy)) discard;
#endif
#if SPOTS
    if (lineParameters.y >= 3.0) c = spotColor(c);
#endif
    gl_FragColor = c;
}
)";

const char* const kAttributeNames[BatchShader::AttributeCount] = {"start", "end", "corner", "color", "texCoord", "line"};

[[noreturn]] void fail(const std::string& what, const std::string& log) {
    ZENTAC_THROW(zentac::String(("Batch shader: " + what + ": " + log).c_str()));
}

unsigned compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        fail("cannot compile", log);
    }
    return shader;
}

}  // namespace

BatchShader::Program BatchShader::link(unsigned features) {
    std::string defines = "#version 130\n";
    for (auto [feature, name] : {std::pair{Textured, "TEXTURED"}, std::pair{SmoothLines, "SMOOTH_LINES"},
                                 std::pair{PlainLines, "PLAIN_LINES"}, std::pair{Spots, "SPOTS"},
                                 std::pair{Stipples, "STIPPLES"}}) {
        defines += std::string("#define ") + name + ((features & feature) != 0 ? " 1\n" : " 0\n");
    }
    Program program;
    program.id = glCreateProgram();
    defines += kSharedNames;
    glAttachShader(program.id, compile(GL_VERTEX_SHADER, (defines + kVertexSource).c_str()));
    glAttachShader(program.id, compile(GL_FRAGMENT_SHADER, (defines + kFragmentSource).c_str()));
    for (int i = 0; i < AttributeCount; ++i) glBindAttribLocation(program.id, i, kAttributeNames[i]);
    glLinkProgram(program.id);
    GLint ok = GL_FALSE;
    glGetProgramiv(program.id, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[2048] = {};
        glGetProgramInfoLog(program.id, sizeof log, nullptr, log);
        fail("cannot link", log);
    }
    program.viewportOrigin = glGetUniformLocation(program.id, "viewportOrigin");
    program.viewportSize = glGetUniformLocation(program.id, "viewportSize");
    glUseProgram(program.id);
    glUniform1i(glGetUniformLocation(program.id, "image"), 0);
    glUniform1i(glGetUniformLocation(program.id, "segments"), 1);
    glUseProgram(0);
    return program;
}

BatchShader::BatchShader() {
    if (!GLEW_VERSION_3_0) fail("needs OpenGL 3.0", "");
    // The others differ from it only by the rules left in: a driver that
    // cannot build this one says so at start-up.
    programs_[0] = link(0);
}

void BatchShader::use(unsigned features, const float viewport[4]) {
    Program& program = programs_[features];
    if (program.id == 0) program = link(features);
    glUseProgram(program.id);
    if (std::equal(viewport, viewport + 4, program.viewport)) return;
    std::copy(viewport, viewport + 4, program.viewport);
    glUniform2f(program.viewportOrigin, viewport[0], viewport[1]);
    glUniform2f(program.viewportSize, viewport[2], viewport[3]);
}
