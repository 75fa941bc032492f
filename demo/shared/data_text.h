#pragma once

#include <string>
#include <string_view>

// Pieces of the readers of the show's small text files (positions and
// vertex files). `what` names the kind of file in messages, as in
// "positions file data/a.txt: ends after 2 of 3 points".

// The whole file through the FileSystem; throws zentac::Exception when no
// provider has it.
std::string readDataText(const std::string& name, const std::string& what);

[[noreturn]] void failDataText(const std::string& what, const std::string& name, const std::string& problem);

// Moves past `literal` at `at` in a terminated string; false when the text
// there differs.
bool skipLiteral(const char*& at, std::string_view literal);

// A number as scanf's %f reads it, moving past it; false when there is none
// or it is not finite.
bool readFiniteFloat(const char*& at, float& value);

// The count of a "<prefix><count>" header line; 0 when the line is no such
// header. Throws for a negative count.
long long headerCount(const std::string& line, std::string_view prefix, const std::string& what,
                      const std::string& name);
