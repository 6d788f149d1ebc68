#include "cli/chart_json.h"

#include <array>
#include <charconv>

#include "presentation/star_tables.h"

namespace velmora {

namespace {

void AppendInt(std::int64_t value, std::string& out) {
  std::array<char, 24> digits;
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  out.append(digits.data(), result.ptr);
}

// The length of the valid UTF-8 sequence starting at text[i], or 0 when the byte there does not
// start one (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF or cut
// short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80;  // allowed range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// A line break, and the indentation before a palace, in the readable layout only.
struct Layout {
  const char* open;       // after the opening brace
  const char* member;     // between members
  const char* palace;     // before each palace
  const char* lastClose;  // after the last palace, before "]"
  const char* close;      // before the closing brace
};

constexpr Layout kOneLineLayout = {"", ",", "", "", ""};
constexpr Layout kReadableLayout = {"\n  ", ",\n  ", "\n    ", "\n  ", "\n"};

}  // namespace

void AppendJsonString(std::string_view text, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
      // Runs of plain ASCII, the usual case, go over in one piece.
      std::size_t end = i + 1;
      while (end < text.size()) {
        const auto d = static_cast<unsigned char>(text[end]);
        if (d < 0x20 || d >= 0x80 || d == '"' || d == '\\') break;
        ++end;
      }
      out.append(text.data() + i, end - i);
      i = end;
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else if (const std::size_t length = Utf8SequenceLength(text, i); length > 0) {
          out.append(text.data() + i, length);
          i += length;
          continue;
        } else {
          out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
        }
    }
    ++i;
  }
  out += '"';
}

void AppendChartJson(const BirthInput& birth, const PalaceChart& chart, const DisplayTable& table,
                     JsonLayout layout, std::string& out) {
  const Layout& l = layout == JsonLayout::kReadable ? kReadableLayout : kOneLineLayout;
  const BirthCalendar& facts = chart.calendar;
  out += '{';
  out += l.open;
  out += "\"date\":\"";
  AppendIsoDate(birth.date, out);
  out += '"';
  out += l.member;
  out += "\"time\":\"";
  AppendClockTime(birth.hour, birth.minute, out);
  out += '"';
  out += l.member;
  out += "\"facts\":{\"yearStem\":";
  AppendInt(facts.yearStem, out);
  out += ",\"yearBranch\":";
  AppendInt(facts.yearBranch, out);
  out += ",\"yearStemCode\":";
  AppendInt(facts.yearStemCode, out);
  out += ",\"lunarMonth\":";
  AppendInt(facts.lunarMonth, out);
  out += ",\"lunarDay\":";
  AppendInt(facts.lunarDay, out);
  out += ",\"hourBranch\":";
  AppendInt(facts.hourBranch, out);
  out += '}';
  out += l.member;
  out += "\"bureau\":";
  AppendInt(chart.bureau, out);
  out += l.member;
  out += "\"lifeBranch\":";
  AppendInt(LifeRow(table), out);
  out += l.member;
  out += "\"palaces\":[";
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    const auto b = static_cast<std::size_t>(branch);
    const auto& row = table.rows[b];
    if (branch > 1) out += ',';
    out += l.palace;
    out += "{\"branch\":";
    AppendInt(branch, out);
    out += ",\"stem\":";
    AppendInt(chart.grid[b][kStemSlot], out);
    out += ",\"items\":[";
    bool first = true;
    for (const ItemCode code : row) {
      if (code == code::Empty) continue;
      if (!first) out += ',';
      first = false;
      AppendInt(code, out);
    }
    out += "],\"names\":[";
    first = true;
    for (const ItemCode code : row) {
      if (code == code::Empty) continue;
      if (!first) out += ',';
      first = false;
      AppendJsonString(StarName(code), out);
    }
    out += "]}";
  }
  out += l.lastClose;
  out += ']';
  out += l.close;
  out += "}\n";
}

void AppendBatchErrorJson(std::int64_t line, std::string_view input, std::string_view error,
                          std::string& out) {
  out += "{\"line\":";
  AppendInt(line, out);
  out += ",\"input\":";
  AppendJsonString(input, out);
  out += ",\"error\":";
  AppendJsonString(error, out);
  out += "}\n";
}

}  // namespace velmora
