#pragma once
// Paths in lines that scripts read: a name may hold a line break, an escape
// sequence or bytes that are not UTF-8, and printed raw it would forge lines
// or upset the terminal. Such a text is quoted as GNU ls
// --quoting-style=shell-escape quotes it, so that it stays on one line and
// pastes back into a shell as the same bytes:
//     nl<LF>x.wav   ->  'nl'$'\n''x.wav'
//     it's<TAB>a    ->  'it'\''s'$'\t''a'
// Any other text is left as it is.

#include <string>
#include <string_view>

namespace qorvane {

std::string ShellEscapeIfUnsafe(std::string_view text);

}  // namespace qorvane
