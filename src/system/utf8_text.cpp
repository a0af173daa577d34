#include "system/utf8_text.h"

namespace vendralith {

namespace {

constexpr std::size_t kMaxSequence = 4;

unsigned char ByteAt(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const unsigned char lead = ByteAt(text, at);
  if (lead < 0x80) return 1;
  // The range of the second byte excludes overlong forms (after E0 and F0),
  // surrogates (after ED) and code points above U+10FFFF (after F4).
  std::size_t length = 0;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  const unsigned char second = ByteAt(text, at + 1);
  if (second < secondLow || second > secondHigh) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    const unsigned char next = ByteAt(text, at + i);
    if (next < 0x80 || next > 0xBF) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
  if (maxBytes >= text.size()) return text.size();
  // Continuation bytes never start a sequence, so at most one well-formed
  // sequence can reach over the cut, starting at most three bytes before it.
  const std::size_t earliest = maxBytes >= kMaxSequence - 1 ? maxBytes - (kMaxSequence - 1) : 0;
  for (std::size_t start = maxBytes; start > earliest;) {
    --start;
    if (start + Utf8SequenceLength(text, start) > maxBytes) return start;
  }
  return maxBytes;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char16_t unit = text[at];
    char32_t codePoint = unit;
    if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
      codePoint = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                  (static_cast<char32_t>(text[at + 1]) - 0xDC00);
      ++at;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      codePoint = kReplacement;
    }
    AppendUtf8(utf8, codePoint);
  }
  return utf8;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string utf16;
  utf16.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      utf16 += static_cast<char16_t>(kReplacement);
      ++at;
      continue;
    }
    char32_t codePoint = length == 1   ? ByteAt(text, at)
                         : length == 2 ? ByteAt(text, at) & 0x1Fu
                         : length == 3 ? ByteAt(text, at) & 0x0Fu
                                       : ByteAt(text, at) & 0x07u;
    for (std::size_t i = 1; i < length; ++i)
      codePoint = (codePoint << 6) | (ByteAt(text, at + i) & 0x3Fu);
    if (codePoint >= 0x10000) {
      utf16 += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      utf16 += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      utf16 += static_cast<char16_t>(codePoint);
    }
    at += length;
  }
  return utf16;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  return text.substr(0, Utf8CutLength(text, maxBytes));
}

std::u16string_view Utf16Prefix(std::u16string_view text, std::size_t maxUnits) {
  if (text.size() <= maxUnits) return text;
  std::size_t length = maxUnits;
  // A high surrogate whose low one would be cut off goes with it.
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  return text.substr(0, length);
}

}  // namespace vendralith
