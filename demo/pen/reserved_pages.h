#pragma once

#include <cstddef>

// Address space set aside at start-up for memory that may be needed later:
// the system hands out a page only when it is first written, so what is
// never used costs no memory, and using it later allocates nothing. The
// pages read as zero until written.
class ReservedPages {
public:
    // Throws zentac::Exception when the address space is not there.
    explicit ReservedPages(std::size_t bytes);
    ~ReservedPages();
    ReservedPages(const ReservedPages&) = delete;
    ReservedPages& operator=(const ReservedPages&) = delete;

    void* data() const { return data_; }

private:
    std::size_t bytes_;
    void* data_;
};
