#pragma once
// The core keeps text in Latin-1, the single-byte code page of log files and the branding file.
// File names reach it in the system's encoding (UTF-8 on Linux) and are converted for display.

#include <string>
#include <string_view>

namespace velkor {

// UTF-8 to Latin-1: a character without a Latin-1 form, or a malformed sequence, becomes '?'.
std::string latin1FromUtf8(std::string_view utf8);

std::string utf8FromLatin1(std::string_view latin1);

// A Latin-1 text that cannot drive a terminal: every control character (C0, DEL and C1, so
// ESC, BEL, CR and the eight-bit CSI and OSC too) becomes '?'. With `keepLineBreaks`, the line
// breaks the program writes in its own messages (CR LF, or LF) stay, as one LF each.
std::string printableText(std::string_view latin1, bool keepLineBreaks);

// The same for a UTF-8 text (the logbook's track, car and note, a file's name), keeping every
// character beyond Latin-1: C0 controls, DEL, the C1 controls U+0080 to U+009F and each byte
// that is not part of a well-formed sequence (overlong forms and surrogates included) become
// '?'. With `keepLineBreaks`, LF and CR LF stay, as one LF each.
std::string printableUtf8(std::string_view utf8, bool keepLineBreaks);

// A text as well-formed UTF-8 for a JSON document: each byte that is not part of a well-formed
// sequence, and each C1 control, becomes U+FFFD; C0 controls stay for the writer to escape.
std::string wellFormedUtf8(std::string_view utf8);

}  // namespace velkor
