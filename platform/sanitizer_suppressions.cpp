// Driver and windowing libraries keep allocations for the life of the
// process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGL\n"
           "leak:libGLX\n"
           "leak:libGLdispatch\n"
           "leak:libEGL\n"
           "leak:libgallium\n"
           "leak:swrast_dri\n"
           "leak:libLLVM\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libSDL2\n"
           "leak:libdbus\n"
           "leak:libasound\n"
           "leak:libubsan\n";
}
