#include "figures/element.h"

ElementPool& ElementPool::instance() {
    static ElementPool* pool = new ElementPool;
    return *pool;
}

void ElementPool::resetToStart() { *this = ElementPool(); }

Element* ElementPool::next() {
    Element* e = &elements_[cursor_];
    e->clear();
    cursor_ = (cursor_ + 1) % kSize;
    return e;
}
