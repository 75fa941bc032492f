#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

// Storage the driver reads vertex and index data from where they were
// written: one buffer, mapped once for good, filled front to back and begun
// again from the front. Handing a batch's megabyte over by copy
// (glBufferSubData) makes a driver that runs its OpenGL work on a thread of
// its own stop and catch up; writing here needs no call at all.
//
// Only for a driver that is done with a draw's vertices and indices once the
// draw has run, as Mesa's software drivers are. After each batch's draws its
// number goes into a second mapped buffer, by a copy of four bytes that
// travels with the draws, so the ring sees how far the driver has run
// without asking it: a stretch of the ring is written again once the
// batches last in it have run, and only a driver still behind them is
// waited for.
class DrawRing {
public:
    // How far the driver has run the batches. The driver's own is read from
    // the buffer it writes into; a test stands in one it steers.
    class Progress {
    public:
        virtual ~Progress() = default;
        // The draws of the batch numbered so have all been issued.
        virtual void issued(std::uint32_t batch) = 0;
        // The number of the last batch whose draws have run.
        virtual std::uint32_t ran() const = 0;
        // Returns once every batch issued has run.
        virtual void catchUp() = 0;
    };

    // The ring of the current context's driver, or null when the driver is
    // not one that reads its data as it draws, or cannot map buffers for
    // good. Its buffers go with the context.
    static std::unique_ptr<DrawRing> forCurrentDriver(std::size_t bytes);
    // A ring over the capacity bytes at mapped, the storage of buffer.
    DrawRing(unsigned buffer, void* mapped, std::size_t capacity, std::unique_ptr<Progress> progress);
    DrawRing(const DrawRing&) = delete;
    DrawRing& operator=(const DrawRing&) = delete;

    unsigned buffer() const { return buffer_; }

    // Where a batch's vertices and indices were placed in the buffer.
    struct Placed {
        std::size_t vertices;
        std::size_t indices;
    };
    // Copies in a batch's vertices and then its indices, after the last
    // batch or from the front when they do not fit there, once the driver
    // has run the draws that read those bytes before. False, with nothing
    // written, when they cannot fit the ring at all.
    bool place(const void* vertices, std::size_t vertexBytes, const void* indices, std::size_t indexBytes,
               Placed& placed);
    // The draws of the batch placed last have all been issued.
    void drawn();

private:
    // The ring in stretches, each remembering the last batch written into it.
    static constexpr std::size_t kStretches = 16;

    // Until the driver has run the batches last written into the stretches
    // up to byte `to` that this lap has not yet claimed.
    void claim(std::size_t to);
    // The batch numbered so has run.
    bool hasRun(std::uint32_t batch) const;
    std::size_t append(const void* data, std::size_t bytes);

    unsigned buffer_;
    unsigned char* mapped_;
    std::size_t capacity_;
    std::size_t stretchBytes_;
    std::size_t used_ = 0;
    // Stretches before this one were claimed in the current lap.
    std::size_t claimed_ = 0;
    std::array<std::uint32_t, kStretches> lastBatch_{};
    // Batches are numbered from 1.
    std::uint32_t batches_ = 0;
    std::unique_ptr<Progress> progress_;
};
