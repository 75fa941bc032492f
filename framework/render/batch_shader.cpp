#include "framework/render/batch_shader.h"

#include "engine/core/exception.h"

#include <GL/glew.h>

#include <string>

namespace {

// Line vertices carry both ends of their line; each corner of the quad is
// pushed out in window pixels past the end it belongs to (corner.x: 0 the
// start, 1 the end) and to one side (corner.y: -1 or 1), just far enough for
// every pixel the line can touch. line: width, kind (0 fill, 1 smooth line, 2 plain
// line), stipple factor (0 for none), stipple pattern.
const char* const kVertexSource = R"(#version 130
uniform vec2 viewportOrigin;
uniform vec2 viewportSize;
in vec3 start;
in vec3 end;
in vec2 corner;
in vec4 color;
in vec3 texCoord;
in vec4 line;
out vec4 fragmentColor;
out vec2 fragmentTexCoord;
flat out float textured;
flat out vec2 lineStart;
flat out vec2 lineEnd;
flat out vec4 lineParameters;

vec2 toWindow(vec4 clip) { return (clip.xy / clip.w * 0.5 + 0.5) * viewportSize + viewportOrigin; }

void main() {
    fragmentColor = color;
    fragmentTexCoord = texCoord.xy;
    textured = texCoord.z;
    lineParameters = line;
    vec4 a = gl_ModelViewProjectionMatrix * vec4(start, 1.0);
    if (line.y == 0.0) {
        lineStart = vec2(0.0);
        lineEnd = vec2(0.0);
        gl_Position = a;
        return;
    }
    vec4 b = gl_ModelViewProjectionMatrix * vec4(end, 1.0);
    lineStart = toWindow(a);
    lineEnd = toWindow(b);
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
    bool atEnd = corner.x > 0.5;
    vec4 own = atEnd ? b : a;
    vec2 p = (atEnd ? lineEnd : lineStart) + along * (atEnd ? margin : -margin) + across * (corner.y * reach);
    gl_Position = vec4(((p - viewportOrigin) / viewportSize * 2.0 - 1.0) * own.w, own.z, own.w);
}
)";

// Smooth lines: coverage across is halfWidth + 0.5 - |distance| with the
// width at least 1, along min(distance from either end) + 0.5, and a line
// shorter than a pixel is weakened by 2 length / (length + 1). A stipple
// counts pixels of the major axis from the start; each run of set bits is a
// line of its own. Plain lines light the pixel whose row (or column) the line
// crosses at the pixel's centre, from the start up to the end, and count
// their stipple by pixel.
const char* const kFragmentSource = R"(#version 130
uniform sampler2D image;
in vec4 fragmentColor;
in vec2 fragmentTexCoord;
flat in float textured;
flat in vec2 lineStart;
flat in vec2 lineEnd;
flat in vec4 lineParameters;

bool bitOn(int pattern, int step, int factor) { return ((pattern >> ((step / factor) & 15)) & 1) != 0; }

float rampCoverage(float along, float across, float len, float halfWidth) {
    float c = clamp(halfWidth + 0.5 - abs(across), 0.0, 1.0) * clamp(min(along, len - along) + 0.5, 0.0, 1.0);
    return len < 1.0 ? c * 2.0 * len / (len + 1.0) : c;
}

float smoothCoverage(vec2 p) {
    vec2 d = lineEnd - lineStart;
    float len = length(d);
    if (len == 0.0) return 0.0;
    vec2 u = d / len;
    float along = dot(p - lineStart, u);
    float across = dot(p - lineStart, vec2(-u.y, u.x));
    float halfWidth = max(lineParameters.x, 1.0) * 0.5;
    int factor = int(lineParameters.z);
    if (factor == 0) return rampCoverage(along, across, len, halfWidth);
    int pattern = int(lineParameters.w);
    float major = max(abs(d.x), abs(d.y));
    float stepLength = len / major;
    int steps = int(ceil(major));
    int first = max(int(floor((along - 1.0) / stepLength)), 0);
    int last = min(int(floor((along + 1.0) / stepLength)), steps - 1);
    float best = 0.0;
    for (int i = first; i <= last; ++i) {
        if (!bitOn(pattern, i, factor)) continue;
        // Only the ends within reach matter: a run that goes on further
        // ends out of sight.
        int runStart = i;
        while (runStart > 0 && runStart > i - 4 && bitOn(pattern, runStart - 1, factor)) --runStart;
        if (runStart == i - 4) runStart = -1000;
        int runEnd = i;
        while (runEnd + 1 < steps && runEnd < i + 4 && bitOn(pattern, runEnd + 1, factor)) ++runEnd;
        float from = max(float(runStart) * stepLength, 0.0);
        float to = runEnd == i + 4 ? len + 1000.0 : min(float(runEnd + 1) * stepLength, len);
        best = max(best, rampCoverage(along - from, across, to - from, halfWidth));
    }
    return best;
}

bool plainCovers(vec2 p) {
    vec2 d = lineEnd - lineStart;
    bool xMajor = abs(d.x) >= abs(d.y);
    float major = xMajor ? d.x : d.y;
    if (major == 0.0) return false;
    float pixelMajor = xMajor ? p.x : p.y;
    float pixelMinor = xMajor ? p.y : p.x;
    float startMajor = xMajor ? lineStart.x : lineStart.y;
    float t = (pixelMajor - startMajor) / major;
    if (t < 0.0 || t >= 1.0) return false;
    float minor = (xMajor ? lineStart.y : lineStart.x) + t * (xMajor ? d.y : d.x);
    float width = max(floor(lineParameters.x + 0.5), 1.0);
    if (width == 1.0) {
        if (floor(minor) != floor(pixelMinor)) return false;
    } else if (abs(pixelMinor - minor) > width * 0.5) {
        return false;
    }
    int factor = int(lineParameters.z);
    return factor == 0 || bitOn(int(lineParameters.w), int(floor(abs(pixelMajor - startMajor))), factor);
}

void main() {
    vec4 c = fragmentColor;
    if (textured > 0.5) c *= texture2D(image, fragmentTexCoord);
    if (lineParameters.y == 1.0) {
        float coverage = smoothCoverage(gl_FragCoord.xy);
        if (coverage == 0.0) discard;
        c.a *= coverage;
    } else if (lineParameters.y == 2.0 && !plainCovers(gl_FragCoord.xy)) {
        discard;
    }
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

BatchShader::BatchShader() {
    if (!GLEW_VERSION_3_0) fail("needs OpenGL 3.0", "");
    program_ = glCreateProgram();
    glAttachShader(program_, compile(GL_VERTEX_SHADER, kVertexSource));
    glAttachShader(program_, compile(GL_FRAGMENT_SHADER, kFragmentSource));
    for (int i = 0; i < AttributeCount; ++i) glBindAttribLocation(program_, i, kAttributeNames[i]);
    glLinkProgram(program_);
    GLint ok = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[2048] = {};
        glGetProgramInfoLog(program_, sizeof log, nullptr, log);
        fail("cannot link", log);
    }
    viewportOrigin_ = glGetUniformLocation(program_, "viewportOrigin");
    viewportSize_ = glGetUniformLocation(program_, "viewportSize");
    image_ = glGetUniformLocation(program_, "image");
}

void BatchShader::use(int viewportX, int viewportY, int viewportWidth, int viewportHeight) {
    glUseProgram(program_);
    glUniform2f(viewportOrigin_, static_cast<float>(viewportX), static_cast<float>(viewportY));
    glUniform2f(viewportSize_, static_cast<float>(viewportWidth), static_cast<float>(viewportHeight));
    glUniform1i(image_, 0);
}
