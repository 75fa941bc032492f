#include "demo/pen/task_node.h"

#include "engine/core/exception.h"

#include <algorithm>

void TaskNode::reset() {
    pending_ = 0;
    id_ = -1;
    childCount_ = 0;
    onReset();
}

void TaskNode::run() {
    if (started_) return;
    onRun();
    for (int i = 0; i < childCount_; ++i) children_[static_cast<std::size_t>(i)]->release();
}

bool TaskNode::isFinished() const {
    return std::any_of(children_.begin(), children_.begin() + childCount_,
                       [](const TaskNode* c) { return c->isFinished(); }) ||
           ownFinished();
}

void TaskNode::addChild(TaskNode* child) {
    if (childCount_ == children_.size()) ZENTAC_THROW("A pen node holds at most two children");
    child->addPending();
    children_[childCount_++] = child;
}

void TaskNode::addPending() {
    if (!started_) ++pending_;
}

void TaskNode::release() {
    if (started_) return;
    if (--pending_ == 0) run();
}
