#include "framework/render/draw_ring.h"

#include <GL/glew.h>

#include <atomic>
#include <cstring>
#include <utility>

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

// A buffer of the given bytes, mapped for good with the given access; zero
// when it cannot be mapped.
GLuint mappedBuffer(std::size_t bytes, const void* data, GLbitfield storage, GLbitfield access, void*& mapped) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferStorage(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, storage | access);
    mapped = glMapBufferRange(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), access);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (mapped != nullptr) return buffer;
    glDeleteBuffers(1, &buffer);
    return 0;
}

// The driver writes the number of each batch whose draws it has run into a
// buffer mapped here.
class MappedProgress : public DrawRing::Progress {
public:
    MappedProgress(GLuint buffer, void* mapped) : buffer_(buffer), mapped_(static_cast<std::uint32_t*>(mapped)) {}

    void issued(std::uint32_t batch) override {
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof batch, &batch);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    std::uint32_t ran() const override {
        return std::atomic_ref<std::uint32_t>(*mapped_).load(std::memory_order_acquire);
    }

    // A query: a driver with a thread of its own first runs everything
    // issued before it answers.
    void catchUp() override { glIsBuffer(buffer_); }

private:
    GLuint buffer_;
    std::uint32_t* mapped_;
};

}  // namespace

std::unique_ptr<DrawRing> DrawRing::forCurrentDriver(std::size_t bytes) {
    if (!GLEW_ARB_buffer_storage || !readsDataAsItDraws()) return nullptr;
    const GLbitfield kept = GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    void* mapped = nullptr;
    const GLuint buffer = mappedBuffer(bytes, nullptr, 0, GL_MAP_WRITE_BIT | kept, mapped);
    if (buffer == 0) return nullptr;
    // Written by the driver through glBufferSubData, read here.
    const std::uint32_t none = 0;
    void* progressMapped = nullptr;
    const GLuint progress =
        mappedBuffer(sizeof none, &none, GL_DYNAMIC_STORAGE_BIT, GL_MAP_READ_BIT | kept, progressMapped);
    if (progress == 0) {
        glDeleteBuffers(1, &buffer);
        return nullptr;
    }
    return std::make_unique<DrawRing>(buffer, mapped, bytes,
                                      std::make_unique<MappedProgress>(progress, progressMapped));
}

DrawRing::DrawRing(unsigned buffer, void* mapped, std::size_t capacity, std::unique_ptr<Progress> progress)
    : buffer_(buffer),
      mapped_(static_cast<unsigned char*>(mapped)),
      capacity_(capacity),
      stretchBytes_((capacity + kStretches - 1) / kStretches),
      progress_(std::move(progress)) {}

bool DrawRing::place(const void* vertices, std::size_t vertexBytes, const void* indices, std::size_t indexBytes,
                     Placed& placed) {
    const std::size_t bytes = aligned(vertexBytes) + indexBytes;
    if (bytes > capacity_) return false;
    if (used_ + bytes > capacity_) {
        used_ = 0;
        claimed_ = 0;
    }
    claim(used_ + bytes);
    ++batches_;
    for (std::size_t stretch = used_ / stretchBytes_; stretch < claimed_; ++stretch) lastBatch_[stretch] = batches_;
    placed.vertices = append(vertices, vertexBytes);
    placed.indices = append(indices, indexBytes);
    return true;
}

void DrawRing::drawn() { progress_->issued(batches_); }

void DrawRing::claim(std::size_t to) {
    const std::size_t last = (to - 1) / stretchBytes_;
    for (std::size_t stretch = claimed_; stretch <= last; ++stretch) {
        if (!hasRun(lastBatch_[stretch])) progress_->catchUp();
    }
    claimed_ = last + 1;
}

bool DrawRing::hasRun(std::uint32_t batch) const {
    // Numbers wrap; the batches in the ring are never 2^31 apart.
    return static_cast<std::int32_t>(progress_->ran() - batch) >= 0;
}

std::size_t DrawRing::append(const void* data, std::size_t bytes) {
    const std::size_t offset = used_;
    std::memcpy(mapped_ + offset, data, bytes);
    used_ = aligned(offset + bytes);
    return offset;
}
