#include "engine/core/exception.h"

namespace zentac {

Exception::Exception(const String& function, const String& message, const String& file, int line)
    : function_(function), message_(message), file_(file), line_(line) {}

}  // namespace zentac
