#pragma once

#include <functional>

// Runs the show and turns what escapes it into a message box and an exit
// code: -2 for an engine exception thrown by pointer, -1 for one thrown by
// value, -2 ("Fucked up") for anything else.
int runWithFailureBoxes(const std::function<int()>& show);
