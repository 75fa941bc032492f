#include "demo/pen/task_node.h"

#include <algorithm>

void TaskNode::reset() {
    pending_ = 0;
    id_ = -1;
    children_.clear();
    onReset();
}

void TaskNode::run() {
    if (started_) return;
    onRun();
    for (TaskNode* child : children_) child->release();
}

bool TaskNode::isFinished() const {
    return std::any_of(children_.begin(), children_.end(), [](const TaskNode* c) { return c->isFinished(); }) ||
           ownFinished();
}

void TaskNode::addChild(TaskNode* child) {
    child->addPending();
    children_.push_back(child);
}

void TaskNode::addPending() {
    if (!started_) ++pending_;
}

void TaskNode::release() {
    if (started_) return;
    if (--pending_ == 0) run();
}
