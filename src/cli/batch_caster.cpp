#include "cli/batch_caster.h"

#include <cstring>

#include "cli/batch_line.h"

namespace velmora {

char* BatchCaster::CastLine(std::string_view line, std::int64_t number, char* out, bool& good) {
  std::string_view birthText;
  std::string_view id;
  SplitBatchLine(line, birthText, id);
  BirthInput birth;
  PlaceWords place;
  if (birthText.empty() && !id.empty()) {
    good = false;
    error_ =
        "the line holds only an identifier; give the birth before the tab, as YYYY-MM-DD HH:MM";
  } else {
    good = ReadBirthLine(birthText, birth, place, error_, &zones_) &&
           caster_.Cast(birth, place, Caster::Output::kChart, error_);
  }
  if (!good) return WriteError(line, number, error_, out, id);
  const ChartReport& report = caster_.Report();
  idJson_.clear();
  if (!id.empty()) AppendJsonString(id, idJson_);
  return WriteChartJson(birth, report.Chart(), report.Table(), JsonLayout::kOneLine, out, idJson_,
                        report.CorrectionJson());
}

bool BatchCaster::CastLine(std::string_view line, std::int64_t number, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + kMaxAnswerBytes);
  bool good = false;
  char* end = CastLine(line, number, out.data() + start, good);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return good;
}

char* BatchCaster::AnswerLine(std::string_view line, bool cut, std::int64_t number, char* out,
                              bool& good) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  good = false;
  if (cut || line.size() > kMaxLineBytes) return RefuseLongLine(line, number, out);
  if (IsSkippedLine(line)) {
    good = true;
    return out;
  }
  return CastLine(line, number, out, good);
}

char* BatchCaster::RefuseLongLine(std::string_view start, std::int64_t number, char* out) {
  std::string shown(start.substr(0, kMaxLineBytes));
  shown += "...";
  return WriteError(shown, number,
                    "the line is too long; each line holds one birth as YYYY-MM-DD HH:MM", out);
}

char* BatchCaster::WriteError(std::string_view input, std::int64_t number, std::string_view error,
                              char* out, std::string_view id) {
  scratch_.clear();
  AppendBatchErrorJson(number, input.substr(0, kMaxLineBytes + 3), error, scratch_, id);
  std::memcpy(out, scratch_.data(), scratch_.size());
  return out + scratch_.size();
}

}  // namespace velmora
