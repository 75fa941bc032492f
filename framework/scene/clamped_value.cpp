#include "framework/scene/clamped_value.h"

ClampedValue::ClampedValue(float minimum, float maximum, float initial, float upStep, float downStep)
    : up_(&value_, upStep), down_(&value_, downStep), maximum_(maximum), minimum_(minimum), value_(initial) {}

float ClampedValue::get() {
    if (value_ > maximum_) value_ = maximum_;
    if (value_ < minimum_) value_ = minimum_;
    return value_;
}
