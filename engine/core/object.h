#pragma once

#include "engine/core/string.h"

namespace zentac {

// Base of the engine's run-time objects: a reference count that starts at 1
// and a name.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    void SetName(const String& name) { name_ = name; }
    virtual ~Object() = default;

    void AddRef() { ++refCount_; }
    // Deletes the object when the last reference goes.
    void Release();

    int RefCount() const { return refCount_; }
    const String& Name() const { return name_; }

private:
    int refCount_ = 1;
    String name_;
};

}  // namespace zentac
