#include "framework/triggers/trigger.h"

namespace {
int nextTriggerId = 0;
}  // namespace

Trigger::Trigger() : id_(nextTriggerId++) {}

void Trigger::resetIds() { nextTriggerId = 0; }
