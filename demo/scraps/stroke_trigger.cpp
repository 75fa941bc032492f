#include "demo/scraps/stroke_trigger.h"

#include "demo/scraps/position_list.h"

void StrokeTrigger::trigger(int) {
    if (list_) list_->newStroke();
}
