#pragma once

#include <cstdint>

// Free functions over the window backend: tick count, title, quit request and
// mouse. Backend 1 is the OpenGL window; backend 0 is the retired one.
namespace Platform {

void setBackend(int backend);
uint32_t getTickCount();

}  // namespace Platform
