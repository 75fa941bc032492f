#pragma once

#include "demo/pen/reserved_pages.h"

#include <cstddef>
#include <new>
#include <utility>

// A fixed number of nodes in one block of reserved pages, made one after
// the other in place when first needed: a node ring hands its nodes out in
// order, and the slots it has not reached yet cost no memory.
template <class Node>
class NodeSlots {
public:
    explicit NodeSlots(int size) : pages_(sizeof(Node) * static_cast<std::size_t>(size)), size_(size) {}
    ~NodeSlots() {
        for (int i = 0; i < made_; ++i) (*this)[i].~Node();
    }
    NodeSlots(const NodeSlots&) = delete;
    NodeSlots& operator=(const NodeSlots&) = delete;

    int size() const { return size_; }
    // Slots 0 to made() - 1 hold nodes.
    int made() const { return made_; }
    // Makes the node of the first empty slot; not past the last slot.
    template <class... Args>
    Node& makeNext(Args&&... args) {
        Node* node = new (static_cast<Node*>(pages_.data()) + made_) Node(std::forward<Args>(args)...);
        ++made_;
        return *node;
    }
    Node& operator[](int i) { return *std::launder(static_cast<Node*>(pages_.data()) + i); }

private:
    ReservedPages pages_;
    int size_;
    int made_ = 0;
};
