#include "engine/core/object.h"

namespace zentac {

void Object::Release() {
    if (refCount_-- == 1) delete this;
}

}  // namespace zentac
