// What the monitoring host demands of a document: UTF-8 text that an XML
// parser accepts. A checker of its own, written apart from the sensor's
// code, for the XML the documents use: elements without attributes, text and
// entity references, and blanks before and after the root element.
#ifndef VENDRALITH_TESTS_FUZZ_XML_CHECK_H
#define VENDRALITH_TESTS_FUZZ_XML_CHECK_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vendralith::fuzz {

// The code points of UTF-8 text; false for any byte sequence that is not a
// shortest-form encoding of a code point outside the surrogates, up to
// U+10FFFF.
inline bool DecodeUtf8(std::string_view text, std::vector<std::uint32_t>* codePoints) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t extra = 0;
    std::uint32_t value = 0;
    if (lead < 0x80) {
      value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      value = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      value = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      value = lead & 0x07u;
    } else {
      return false;
    }
    if (text.size() - at <= extra) return false;
    for (std::size_t i = 1; i <= extra; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3Fu);
    }
    constexpr std::uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    if (value < kShortest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      return false;
    }
    if (codePoints != nullptr) codePoints->push_back(value);
    at += extra + 1;
  }
  return true;
}

inline bool IsValidUtf8(std::string_view text) { return DecodeUtf8(text, nullptr); }

// Nothing when the document is well-formed; else what is wrong.
inline std::string XmlProblem(std::string_view document) {
  std::vector<std::uint32_t> chars;
  if (!DecodeUtf8(document, &chars)) return "not UTF-8";
  for (const std::uint32_t c : chars) {
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                         (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
    if (!allowed) return "a character that XML does not allow: " + std::to_string(c);
  }

  std::size_t at = 0;
  const auto blank = [&](std::size_t i) {
    const char c = document[i];
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  const auto skipBlanks = [&] {
    while (at < document.size() && blank(at)) ++at;
  };
  const auto name = [&]() -> std::string {
    const std::size_t start = at;
    while (at < document.size() && ((document[at] >= 'A' && document[at] <= 'Z') ||
                                    (document[at] >= 'a' && document[at] <= 'z') ||
                                    (at > start && document[at] >= '0' && document[at] <= '9'))) {
      ++at;
    }
    return std::string(document.substr(start, at - start));
  };

  skipBlanks();
  std::vector<std::string> open;
  bool rootClosed = false;
  while (at < document.size() && !rootClosed) {
    const char c = document[at];
    if (c == '<') {
      ++at;
      const bool closing = at < document.size() && document[at] == '/';
      if (closing) ++at;
      const std::string tag = name();
      if (tag.empty()) return "a tag without a name";
      if (closing) skipBlanks();
      if (at >= document.size() || document[at] != '>') return "a tag that does not end: " + tag;
      ++at;
      if (!closing) {
        open.push_back(tag);
      } else if (open.empty() || open.back() != tag) {
        return "an end tag that closes no open element: " + tag;
      } else {
        open.pop_back();
        rootClosed = open.empty();
      }
    } else if (open.empty()) {
      return "text outside the root element";
    } else if (c == '&') {
      const std::size_t end = document.find(';', at);
      if (end == std::string_view::npos) return "an entity reference without ';'";
      const std::string_view entity = document.substr(at + 1, end - at - 1);
      if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "quot" &&
          entity != "apos") {
        return "an unknown entity: " + std::string(entity);
      }
      at = end + 1;
    } else if (document.substr(at, 3) == "]]>") {
      return "']]>' in text";
    } else {
      ++at;
    }
  }
  if (!rootClosed) return "no complete root element";
  skipBlanks();
  if (at != document.size()) return "more than blanks after the root element";
  return {};
}

}  // namespace vendralith::fuzz

#endif
