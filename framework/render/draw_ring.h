#pragma once

#include <cstddef>
#include <memory>

// Storage the driver reads vertex and index data from where they were
// written: one buffer, mapped once for good, filled front to back and begun
// again from the front. Handing data over by copy (glBufferSubData) makes a
// driver that runs its OpenGL work on a thread of its own stop and catch up
// with every batch; writing here needs no call at all.
//
// Only for a driver that is done with a draw's vertices and indices once the
// draw has run, as Mesa's software drivers are: the ring is begun again as
// soon as every draw issued has run, without waiting for the frame to be
// rasterised.
class DrawRing {
public:
    // The ring of the current context's driver, or null when the driver is
    // not one that reads its data as it draws, or cannot map buffers for
    // good. Its buffer goes with the context.
    static std::unique_ptr<DrawRing> forCurrentDriver(std::size_t bytes);
    DrawRing(const DrawRing&) = delete;
    DrawRing& operator=(const DrawRing&) = delete;

    unsigned buffer() const { return buffer_; }

    // Where a batch's vertices and indices were placed in the buffer.
    struct Placed {
        std::size_t vertices;
        std::size_t indices;
    };
    // Copies in a batch's vertices and then its indices, after what was
    // written since the ring began again, or from the front once every draw
    // issued has run when they do not fit there. False, with nothing
    // written, when they cannot fit the ring at all.
    bool place(const void* vertices, std::size_t vertexBytes, const void* indices, std::size_t indexBytes,
               Placed& placed);

private:
    DrawRing(unsigned buffer, void* mapped, std::size_t capacity);
    // From the front again, once every draw issued has run.
    void beginAgain();
    std::size_t append(const void* data, std::size_t bytes);

    unsigned buffer_;
    unsigned char* mapped_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};
