#pragma once

#include <cstddef>
#include <string_view>

// The resource pack: a text header, then, from the first byte that is not
// white space to the end of the file, one zlib stream holding the entries'
// bytes. The header is read the way scanf reads these lines:
//
//   $$$kestrune$$$v1.0
//   Entries=%d Size=%d                    (entry count, unpacked bytes)
//   entry=%s %d %d                        (name, offset, length; per entry)
//
// Any run of white space may stand before a field, numbers are decimal and
// may carry a sign, and the first word is skipped without being compared.
// Offsets and lengths count bytes of the unpacked data; names are the exact
// paths by which the show requests the files.
namespace pack_format {

inline constexpr std::string_view kMagic = "$$$kestrune$$$v1.0";
inline constexpr std::string_view kEntriesKey = "Entries=";
inline constexpr std::string_view kSizeKey = "Size=";
inline constexpr std::string_view kEntryKey = "entry=";
inline constexpr std::size_t kMaxNameLength = 10239;

}  // namespace pack_format
