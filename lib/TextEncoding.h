#pragma once

// The one place that decides how a settings file's bytes are text. A file is read in the
// encoding its first bytes show and written back in the same one: a byte order mark names
// UTF-8 or UTF-16; without one, a file that holds a byte of 0x80 or more and is valid UTF-8
// throughout is UTF-8; anything else is the system ANSI code page, read exactly as DecodeAnsiText
// reads it. A new file is ANSI.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marigold {

enum class TextEncoding : uint8_t { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// DetectTextEncoding("\xEF\xBB\xBFx") == Utf8Bom; ("\xE3\x83\xA1") == Utf8; ("\x83\x81") == Ansi
[[nodiscard]] TextEncoding DetectTextEncoding(std::string_view Data);

// The byte order mark that starts a file of Encoding; empty for ANSI and UTF-8 without one.
[[nodiscard]] std::string_view ByteOrderMark(TextEncoding Encoding);

// The encoding's name as users know it ("ANSI", "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", ...).
[[nodiscard]] std::u16string_view EncodingName(TextEncoding Encoding);

// The text of a whole file's Data in Encoding, without its byte order mark. Sequences that are
// not valid in a Unicode encoding read as U+FFFD; ANSI is DecodeAnsiText.
[[nodiscard]] std::u16string DecodeText(std::string_view Data, TextEncoding Encoding);

// Body (a file's bytes after its byte order mark) without the characters below 33 at its front
// or at its back: single bytes in ANSI and UTF-8 (no code page 932 trail byte is that small),
// single units in UTF-16, where half a unit at the back is no character either.
[[nodiscard]] std::string_view TrimBlankUnits(std::string_view Body, TextEncoding Encoding,
                                              bool Front);

// Text's bytes in Encoding, without a byte order mark; nullopt when any character cannot be
// stored exactly (the ANSI code page lacks it, or a lone surrogate): such text is refused, never
// written as a substitute.
[[nodiscard]] std::optional<std::string> EncodeTextExactly(std::u16string_view Text,
                                                           TextEncoding Encoding);

} // namespace marigold
