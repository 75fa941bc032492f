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

// SDL and the GL driver unload the libraries they loaded for a window when
// it closes. A block such a library keeps for the process is then reachable
// from no module the exit-time leak scan can name, so it reads as a leak of
// ours and no suppression can match it. The checked builds keep every
// library loaded until exit instead.
extern "C" int dlclose(void*) { return 0; }
