#include "casting/chart_json.h"

#include <array>
#include <charconv>
#include <cstring>

#include "presentation/birth_text.h"
#include "presentation/star_tables.h"
#include "presentation/utf8.h"

namespace velmora {

namespace {

// The bytes of `text` at `p`; gives the end.
inline char* Put(char* p, std::string_view text) {
  std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

// A number in decimal; the codes, facts and branches are small, so one or two digits is the
// usual case.
char* PutInt(char* p, std::int64_t value) {
  if (value >= 0 && value < 10) {
    *p = static_cast<char>('0' + value);
    return p + 1;
  }
  if (value >= 10 && value < 100) {
    p[0] = static_cast<char>('0' + value / 10);
    p[1] = static_cast<char>('0' + value % 10);
    return p + 2;
  }
  return std::to_chars(p, p + 24, value).ptr;
}

// Every display name as a finished JSON string, quotes included, built once: the names are
// constant, so escaping them again for every chart would be wasted work.
class NameFragments {
 public:
  NameFragments() {
    for (ItemCode code = 0; code < kNamedCodes; ++code) {
      std::string json;
      AppendJsonString(StarName(code), json);
      fragments_[static_cast<std::size_t>(code)] = json;
    }
  }
  std::string_view Of(ItemCode code) const {
    return code >= 0 && code < kNamedCodes
               ? std::string_view(fragments_[static_cast<std::size_t>(code)])
               : std::string_view("\"\"");
  }

 private:
  std::array<std::string, kNamedCodes> fragments_;
};

const NameFragments& Names() {
  static const NameFragments names;
  return names;
}

// A line break, and the indentation before a palace, in the readable layout only.
struct Layout {
  std::string_view open;       // after the opening brace
  std::string_view member;     // between members
  std::string_view palace;     // before each palace
  std::string_view lastClose;  // after the last palace, before "]"
  std::string_view close;      // before the closing brace
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
    if (c >= 0x80) {
      // Valid UTF-8 goes over as it is; a byte that does not begin it becomes U+FFFD.
      utf8::EncodeUtf8(utf8::DecodeUtf8(text, i), out);
      continue;
    }
    if (c >= 0x20 && c != '"' && c != '\\') {
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
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
    ++i;
  }
  out += '"';
}

char* WriteChartJson(const BirthInput& birth, const PalaceChart& chart, const DisplayTable& table,
                     JsonLayout layout, char* out, std::string_view idJson,
                     std::string_view correctionJson) {
  const Layout& l = layout == JsonLayout::kReadable ? kReadableLayout : kOneLineLayout;
  const BirthCalendar& facts = chart.calendar;
  char* p = out;
  p = Put(p, "{");
  p = Put(p, l.open);
  p = PutInt(Put(p, "\"format\":"), kChartJsonFormat);
  p = Put(p, l.member);
  if (!idJson.empty()) p = Put(Put(Put(p, "\"id\":"), idJson), l.member);
  p = Put(p, "\"date\":\"");
  p = PutDigits(p, birth.date.year, 4);
  p = Put(p, "-");
  p = PutDigits(p, birth.date.month, 2);
  p = Put(p, "-");
  p = PutDigits(p, birth.date.day, 2);
  p = Put(p, "\"");
  p = Put(p, l.member);
  p = Put(p, "\"time\":\"");
  p = PutDigits(p, birth.hour, 2);
  p = Put(p, ":");
  p = PutDigits(p, birth.minute, 2);
  p = Put(p, "\"");
  p = Put(p, l.member);
  if (!correctionJson.empty()) p = Put(Put(Put(p, "\"correction\":"), correctionJson), l.member);
  // The six facts, each as its member name and its value.
  const std::pair<const char*, std::int32_t> factMembers[] = {
      {"{\"yearStem\":", facts.yearStem},         {",\"yearBranch\":", facts.yearBranch},
      {",\"yearStemCode\":", facts.yearStemCode}, {",\"lunarMonth\":", facts.lunarMonth},
      {",\"lunarDay\":", facts.lunarDay},         {",\"hourBranch\":", facts.hourBranch},
  };
  p = Put(p, "\"facts\":");
  for (const auto& [member, value] : factMembers) p = PutInt(Put(p, member), value);
  p = Put(p, "}");
  // The lunar date the facts were read from, so that a reader can check the chart against an
  // almanac: a leap month stands as itself, with the leap flag.
  LunarDate lunar;
  BirthLunarDate(facts.birthMoment, lunar);
  p = PutInt(Put(Put(p, l.member), "\"lunarDate\":{\"year\":"), lunar.year);
  p = PutInt(Put(p, ",\"month\":"), lunar.MonthNumber());
  p = Put(p, lunar.IsLeap() ? ",\"leap\":true" : ",\"leap\":false");
  p = Put(PutInt(Put(p, ",\"day\":"), lunar.day), "}");
  for (const auto& [member, value] :
       {std::pair{"\"bureau\":", chart.bureau}, std::pair{"\"lifeBranch\":", LifeRow(table)}}) {
    p = PutInt(Put(Put(p, l.member), member), value);
  }
  p = Put(p, l.member);
  p = Put(p, "\"palaces\":[");
  const NameFragments& names = Names();
  for (std::int32_t branch = 1; branch <= 12; ++branch) {
    const auto b = static_cast<std::size_t>(branch);
    const auto& row = table.rows[b];
    if (branch > 1) p = Put(p, ",");
    p = Put(p, l.palace);
    p = Put(p, "{\"branch\":");
    p = PutInt(p, branch);
    p = Put(p, ",\"stem\":");
    p = PutInt(p, chart.grid[b][kStemSlot]);
    p = Put(p, ",\"items\":[");
    // Every entry is followed by a comma, and the last comma is then overwritten.
    char* list = p;
    for (const ItemCode code : row) {
      if (code == code::Empty) continue;
      p = PutInt(p, code);
      *p++ = ',';
    }
    if (p != list) --p;
    p = Put(p, "],\"names\":[");
    list = p;
    for (const ItemCode code : row) {
      if (code == code::Empty) continue;
      p = Put(p, names.Of(code));
      *p++ = ',';
    }
    if (p != list) --p;
    p = Put(p, "]}");
  }
  p = Put(p, l.lastClose);
  p = Put(p, "]");
  p = Put(p, l.close);
  p = Put(p, "}\n");
  return p;
}

void AppendChartJson(const BirthInput& birth, const PalaceChart& chart, const DisplayTable& table,
                     JsonLayout layout, std::string& out, std::string_view correctionJson) {
  const std::size_t start = out.size();
  out.resize(start + kMaxChartJsonBytes + correctionJson.size() + 16);
  char* end = WriteChartJson(birth, chart, table, layout, out.data() + start, {}, correctionJson);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

namespace {

// "1988-07-15T08:30:00".
void AppendLocalTime(TDateTime moment, std::string& out) {
  DecodedMoment decoded;
  if (!DecodeMoment(moment, decoded)) decoded = {};
  const std::int32_t seconds = (decoded.msOfDay + 500) / 1000;
  char text[19];
  char* p = PutDigits(text, decoded.date.year, 4);
  p = PutDigits(Put(p, "-"), decoded.date.month, 2);
  p = PutDigits(Put(p, "-"), decoded.date.day, 2);
  p = PutDigits(Put(p, "T"), seconds / 3600, 2);
  p = PutDigits(Put(p, ":"), seconds / 60 % 60, 2);
  p = PutDigits(Put(p, ":"), seconds % 60, 2);
  out += '"';
  out.append(text, p);
  out += '"';
}

// Seconds as minutes, to the hundredth.
void AppendMinutes(std::int64_t seconds, std::string& out) {
  AppendDecimal(static_cast<double>(seconds) / 60.0, 2, out);
}

}  // namespace

void AppendCorrectionJson(const ClockCorrection& c, std::string_view zone, std::string& out,
                          const Place* city) {
  static constexpr std::array<const char*, 3> kSolar = {"\"standard\"", "\"mean\"", "\"apparent\""};
  out += "{\"zone\":";
  AppendJsonString(zone, out);
  if (city != nullptr) {
    out += ",\"place\":";
    AppendPlaceJson(*city, out);
  }
  out += ",\"clockTime\":";
  AppendLocalTime(c.clock, out);
  out += ",\"utcOffsetMinutes\":";
  AppendMinutes(c.utcOffset, out);
  out += ",\"standardOffsetMinutes\":";
  AppendMinutes(c.standardOffset, out);
  out += ",\"daylightMinutes\":";
  AppendMinutes(c.Daylight(), out);
  out += ",\"standardTime\":";
  AppendLocalTime(c.standard, out);
  if (c.solar != SolarTime::kStandard) {
    out += ",\"longitude\":";
    AppendDecimal(c.longitude, 10, out);
    out += ",\"meridian\":";
    AppendDecimal(c.Meridian(), 4, out);
    out += ",\"longitudeMinutes\":";
    AppendMinutes(c.longitudeShift, out);
    out += ",\"meanSolarTime\":";
    AppendLocalTime(c.mean, out);
  }
  if (c.solar == SolarTime::kApparent) {
    out += ",\"equationOfTimeMinutes\":";
    AppendMinutes(c.equationOfTime, out);
    out += ",\"apparentSolarTime\":";
    AppendLocalTime(c.apparent, out);
  }
  out += ",\"solar\":";
  out += kSolar[static_cast<std::size_t>(c.solar)];
  out += ",\"cast\":";
  AppendLocalTime(c.Cast(), out);
  out += '}';
}

void AppendBatchErrorJson(std::int64_t line, std::string_view input, std::string_view error,
                          std::string& out, std::string_view id) {
  out += "{\"line\":";
  out += std::to_string(line);
  if (!id.empty()) {
    out += ",\"id\":";
    AppendJsonString(id, out);
  }
  out += ",\"input\":";
  AppendJsonString(input, out);
  out += ",\"error\":";
  AppendJsonString(error, out);
  out += "}\n";
}

}  // namespace velmora
