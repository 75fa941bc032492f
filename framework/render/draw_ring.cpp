#include "framework/render/draw_ring.h"

#include <GL/glew.h>

#include <cstring>

namespace {

// Offsets a draw reads from are kept to this alignment.
constexpr std::size_t kAlignment = 64;

std::size_t aligned(std::size_t bytes) { return (bytes + kAlignment - 1) / kAlignment * kAlignment; }

// Mesa's software drivers transform and bin a draw's vertices while the draw
// runs.
bool readsDataAsItDraws() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr) return false;
    return std::strncmp(renderer, "llvmpipe", 8) == 0 || std::strncmp(renderer, "softpipe", 8) == 0;
}

}  // namespace

std::unique_ptr<DrawRing> DrawRing::forCurrentDriver(std::size_t bytes) {
    if (!GLEW_ARB_buffer_storage || !readsDataAsItDraws()) return nullptr;
    const GLbitfield access = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferStorage(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, access);
    void* mapped = glMapBufferRange(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), access);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (mapped == nullptr) {
        glDeleteBuffers(1, &buffer);
        return nullptr;
    }
    return std::unique_ptr<DrawRing>(new DrawRing(buffer, mapped, bytes));
}

DrawRing::DrawRing(unsigned buffer, void* mapped, std::size_t capacity)
    : buffer_(buffer), mapped_(static_cast<unsigned char*>(mapped)), capacity_(capacity) {}

bool DrawRing::place(const void* vertices, std::size_t vertexBytes, const void* indices, std::size_t indexBytes,
                     Placed& placed) {
    const std::size_t bytes = aligned(vertexBytes) + indexBytes;
    if (bytes > capacity_) return false;
    if (used_ + bytes > capacity_) beginAgain();
    placed.vertices = append(vertices, vertexBytes);
    placed.indices = append(indices, indexBytes);
    return true;
}

void DrawRing::beginAgain() {
    // A query: a driver with a thread of its own first runs everything
    // issued before it answers, and with that is done with the ring.
    glIsBuffer(buffer_);
    used_ = 0;
}

std::size_t DrawRing::append(const void* data, std::size_t bytes) {
    const std::size_t offset = used_;
    std::memcpy(mapped_ + offset, data, bytes);
    used_ = aligned(offset + bytes);
    return offset;
}
