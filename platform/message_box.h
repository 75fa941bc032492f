#pragma once

namespace host {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Error, Information, Question };

// Shows a modal box over the OpenGL window (when one is open) and returns
// true for Yes or OK. A closed box counts as No. With VORN_MESSAGEBOX set to
// "yes", "no" or a comma-separated run of them ("no,yes": the first box No,
// every later one Yes) nothing is shown: the box is answered so and echoed
// to standard error with its answer, as it is when no box can be shown at all
// (answered No).
bool messageBox(const char* text, const char* caption, Buttons buttons, Icon icon);

}  // namespace host
