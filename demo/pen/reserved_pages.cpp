#include "demo/pen/reserved_pages.h"

#include "engine/core/exception.h"

#include <sys/mman.h>

#include <string>

ReservedPages::ReservedPages(std::size_t bytes) : bytes_(bytes) {
    // No swap is set aside either: the reservation is a bound, not a need.
    data_ = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (data_ == MAP_FAILED) {
        ZENTAC_THROW(("Could not reserve " + std::to_string(bytes_) + " bytes of address space").c_str());
    }
}

ReservedPages::~ReservedPages() { munmap(data_, bytes_); }
