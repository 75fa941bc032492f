#pragma once

#include <array>
#include <cstdint>

// A node of the pen figures' dependency graph: an anchor, a corner hanging on
// an anchor, or a segment between two corners. Children are held, not owned;
// a node counts the parents that still hold it and runs when the last one
// lets go. A node is finished when it or anything below it is, so finishing
// an anchor finishes its corners and every segment that touches them.
class TaskNode {
public:
    virtual ~TaskNode() = default;

    void setId(int id) { id_ = id; }
    int id() const { return id_; }
    // Ready for reuse: no children, no holders, id -1. The started mark stays.
    void reset();
    // Finishes this node and lets go of its children; nothing once started.
    void run();
    bool isFinished() const;
    // The node's per-frame step.
    virtual void tick() = 0;

    // A started node ignores run and release: it lives as long as its owner.
    void markStarted() { started_ = true; }
    // A segment holds its two corners and a corner its anchor: room for two
    // children is kept in the node, so hanging nodes together allocates
    // nothing. A third throws zentac::Exception.
    void addChild(TaskNode* child);
    int childCount() const { return childCount_; }
    TaskNode* child(int i) const { return children_[static_cast<std::size_t>(i)]; }
    void addPending();
    // One holder lets go; the last one runs the node.
    void release();
    int pendingCount() const { return pending_; }

protected:
    TaskNode() = default;

    virtual void onReset() = 0;
    virtual void onRun() = 0;
    virtual bool ownFinished() const = 0;

private:
    int id_ = -1;
    int pending_ = 0;
    bool started_ = false;
    uint8_t childCount_ = 0;
    std::array<TaskNode*, 2> children_{};
};
