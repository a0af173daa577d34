// UTF-8 text: whether bytes are UTF-8 and where text may be cut.
#ifndef VENDRALITH_SYSTEM_UTF8_TEXT_H
#define VENDRALITH_SYSTEM_UTF8_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vendralith {

// The length of the well-formed UTF-8 sequence that starts at text[at], or 0
// when none does (a stray continuation byte, an overlong form, a surrogate, a
// code point above U+10FFFF, or a sequence that the text ends inside).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

// Whether the whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// The longest length of at most maxBytes at which text can be cut without
// splitting a well-formed UTF-8 sequence. Bytes that belong to no such
// sequence (text in another code page) are cut anywhere, so ASCII and
// single-byte text are cut at maxBytes.
std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes);

// text cut to Utf8CutLength(text, maxBytes).
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

// text cut to at most maxUnits UTF-16 code units, never between the two
// units of a surrogate pair.
std::u16string_view Utf16Prefix(std::u16string_view text, std::size_t maxUnits);

// Appends the code point's UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 code units as UTF-8; a surrogate without its pair becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Well-formed UTF-8 as UTF-16 code units; a byte that starts no well-formed
// sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace vendralith

#endif
