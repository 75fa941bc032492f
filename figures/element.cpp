#include "figures/element.h"

ElementPool& ElementPool::instance() {
    static ElementPool* pool = new ElementPool;
    return *pool;
}

Element* ElementPool::next() {
    Element* e = &elements_[cursor_];
    e->clear();
    cursor_ = (cursor_ + 1) % kSize;
    return e;
}
