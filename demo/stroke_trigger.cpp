#include "demo/stroke_trigger.h"

#include "demo/position_list.h"

void StrokeTrigger::trigger(int) {
    if (list_) list_->newStroke();
}
