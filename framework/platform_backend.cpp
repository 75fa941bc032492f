#include "framework/platform_backend.h"

#include "platform/ticks.h"

namespace Platform {
namespace {
int backend = 0;
}  // namespace

void setBackend(int n) { backend = n; }

uint32_t getTickCount() { return host::tickCount(); }

}  // namespace Platform
