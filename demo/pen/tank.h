#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

// A bounded list of live nodes, oldest first, not owned. Adding to a tank
// over its limit first finishes its oldest node, so a tank holds at most
// limit + 1 nodes; finished nodes leave at the next sweep.
template <class Node>
class Tank {
public:
    Tank() = default;

    // Room for twice the limit is kept up front.
    void setLimit(int limit) {
        limit_ = limit;
        nodes_.reserve(static_cast<std::size_t>(std::max(limit, 0)) * 2);
    }
    void add(Node* node) {
        if (isFull()) evictFront();
        nodes_.push_back(node);
    }
    int count() const { return static_cast<int>(nodes_.size()); }
    bool empty() const { return nodes_.empty(); }
    Node* get(int i) const { return nodes_[static_cast<std::size_t>(i)]; }
    Node* front() const { return nodes_.front(); }
    Node* back() const { return nodes_.back(); }
    const std::vector<Node*>& nodes() const { return nodes_; }
    bool isFull() const { return count() > limit_; }

    // Drops the finished nodes, keeping the order of the rest; runs nothing.
    void removeFinished() {
        std::erase_if(nodes_, [](const Node* node) { return node->isFinished(); });
    }
    // Drops all nodes but the first; returns the count left.
    int trim() {
        while (count() >= 2 && evictBack()) {
        }
        return count();
    }
    // Runs nodes from the oldest on until one finishes, and drops that one.
    // False when none does (started nodes never finish).
    bool evictFront() {
        for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
            if (finishes(*it)) {
                nodes_.erase(it);
                return true;
            }
        }
        return false;
    }
    // The same from the newest backward.
    bool evictBack() {
        for (auto it = nodes_.rbegin(); it != nodes_.rend(); ++it) {
            if (finishes(*it)) {
                nodes_.erase(std::next(it).base());
                return true;
            }
        }
        return false;
    }

private:
    static bool finishes(Node* node) {
        node->run();
        return node->isFinished();
    }

    std::vector<Node*> nodes_;
    int limit_ = 10;
};
