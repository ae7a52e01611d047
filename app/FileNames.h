#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plumwick {

// An icon name made fit for a file name: separators, NUL and control characters become "_", as do the whole
// names ".", ".." and the empty name; the result is cut at a UTF-8 character boundary to at most MaxBytes
// bytes. Changed tells whether anything was replaced or cut.
struct TSafeName {
    std::string Name;
    bool Changed = false;
};
TSafeName SafeFileNamePart(std::string_view name, std::size_t maxBytes);

// Text as it may go to a terminal or a log: control characters (C0, DEL and C1) are written as escapes
// ("\n", "\x1b", "\u009b"), so a name cannot move the cursor, recolour or end a line. Other text is unchanged.
std::string PrintableText(std::string_view text);

}  // namespace plumwick
