#pragma once

#include <cstddef>
#include <string_view>

// The resource pack: a text header of whitespace-separated tokens, then,
// from the first byte that is not whitespace to the end of the file, one
// zlib stream holding the entries' bytes.
//
//   $$$kestrune$$$v1.0
//   Entries=<count> Size=<unpacked bytes>
//   entry=<name> <offset> <length>        (once per entry)
//
// Offsets and lengths count bytes of the unpacked data; names are the exact
// paths by which the show requests the files.
namespace pack_format {

inline constexpr std::string_view kMagic = "$$$kestrune$$$v1.0";
inline constexpr std::string_view kEntriesKey = "Entries=";
inline constexpr std::string_view kSizeKey = "Size=";
inline constexpr std::string_view kEntryKey = "entry=";
inline constexpr std::size_t kMaxNameLength = 10239;

}  // namespace pack_format
