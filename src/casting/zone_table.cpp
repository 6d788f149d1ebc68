#include "casting/zone_table.h"

#include <algorithm>
#include <array>

#include "calendar/date_time.h"

namespace velmora {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
static_assert(TableZones::kTableEnd == DaysFromCivil(2053, 1, 1) * kSecondsPerDay);

// The table's numbers, read one after another; `ok` turns false for good at the first number
// or text that runs past the end or past 64 bits.
class TableReader {
 public:
  explicit TableReader(std::string_view bytes, std::size_t at = 0) : bytes_(bytes), at_(at) {}

  std::uint64_t Unsigned() {
    std::uint64_t value = 0;
    for (int shift = 0; ok; shift += 7) {
      if (at_ >= bytes_.size() || shift > 63) break;
      const auto byte = static_cast<std::uint8_t>(bytes_[at_++]);
      value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) return value;
    }
    ok = false;
    return 0;
  }
  std::int64_t Signed() {
    const std::uint64_t zigzag = Unsigned();
    return static_cast<std::int64_t>(zigzag >> 1) ^ -static_cast<std::int64_t>(zigzag & 1);
  }
  // A count of things each at least one byte long, so that a broken count cannot ask for more
  // memory than the table has bytes.
  std::size_t Count() {
    const std::uint64_t count = Unsigned();
    if (count > bytes_.size() - at_) ok = false;
    return ok ? static_cast<std::size_t>(count) : 0;
  }
  std::string_view Text() {
    const std::size_t length = Count();
    const std::string_view text = bytes_.substr(at_, length);
    at_ += length;
    return text;
  }
  std::size_t At() const { return at_; }

  bool ok = true;

 private:
  std::string_view bytes_;
  std::size_t at_;
};

// A zone's name as it is looked up, in any letter case: ASCII letters in lower case.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// 0 for a Thursday, as 1 January 1970 was.
constexpr std::int32_t WeekdayOf(std::int64_t days) {
  return static_cast<std::int32_t>(((days % 7) + 7) % 7);
}

}  // namespace

std::int32_t TableZones::LikeYear(std::int32_t year, std::int32_t end) {
  const std::int64_t start = DaysFromCivil(year, 1, 1);
  for (std::int32_t like = end - 1; like >= end - 28; --like) {
    if (WeekdayOf(DaysFromCivil(like, 1, 1)) == WeekdayOf(start) &&
        IsGregorianLeapYear(like) == IsGregorianLeapYear(year)) {
      return like;
    }
  }
  return end - 1;  // not reached: 28 years in a row hold every kind of year
}

bool TableZones::Load(std::string_view bytes) {
  *this = TableZones();
  if (bytes.substr(0, 4) != "VZT1") return false;
  bytes_ = bytes;
  TableReader read(bytes_, 4);
  std::string version(read.Text());
  std::vector<Name> names(read.Count());
  for (Name& name : names) {
    name.name = read.Text();
    name.history = static_cast<std::uint32_t>(read.Unsigned());
    name.current = read.Unsigned() == 1;
  }
  std::vector<std::size_t> historyAt(read.Count());
  for (std::size_t& at : historyAt) {
    at = read.At();
    read.Unsigned();
    for (std::size_t kinds = read.Count(); kinds > 0 && read.ok; --kinds) {
      read.Signed();
      read.Signed();
    }
    read.Unsigned();
    for (std::size_t changes = read.Count(); changes > 0 && read.ok; --changes) {
      read.Signed();
      read.Unsigned();
    }
  }
  const bool whole = read.ok && read.At() == bytes_.size() && !names.empty() &&
                     std::all_of(names.begin(), names.end(), [&](const Name& name) {
                       return name.history < historyAt.size() && !name.name.empty();
                     });
  if (!whole) {
    *this = TableZones();
    return false;
  }
  version_ = std::move(version);
  names_ = std::move(names);
  for (std::uint32_t i = 0; i < names_.size(); ++i)
    byFoldedName_.emplace(Folded(names_[i].name), i);
  historyAt_ = std::move(historyAt);
  zones_.resize(historyAt_.size());
  return true;
}

std::vector<std::string_view> TableZones::Names(bool current) const {
  std::vector<std::string_view> names;
  for (const Name& name : names_) {
    if (name.current || !current) names.push_back(name.name);
  }
  return names;
}

bool TableZones::ReadHistory(std::size_t index, Zone& zone) const {
  TableReader read(bytes_, historyAt_[index]);
  const std::uint64_t endYear =
      kFirstEndYear + std::min<std::uint64_t>(read.Unsigned(), kLastEndYear - kFirstEndYear);
  struct Kind {
    std::int32_t offset;
    std::int32_t standard;
  };
  std::vector<Kind> kinds(read.Count());
  for (Kind& kind : kinds) {
    kind.offset = static_cast<std::int32_t>(read.Signed());
    kind.standard = static_cast<std::int32_t>(read.Signed());
  }
  const auto kindOf = [&](std::uint64_t k) { return k < kinds.size() ? kinds[k] : Kind{0, 0}; };
  const Kind first = kindOf(read.Unsigned());
  std::vector<Step> steps{{std::numeric_limits<std::int64_t>::min(), first.offset, first.standard}};
  std::int64_t at = 0;
  const std::size_t changes = read.Count();
  steps.reserve(changes + 1);
  for (std::size_t i = 0; i < changes; ++i) {
    at += read.Signed();
    const Kind kind = kindOf(read.Unsigned());
    steps.push_back({at, kind.offset, kind.standard});
  }
  if (!read.ok || kinds.empty()) return false;
  zone.steps = std::move(steps);
  zone.endYear = static_cast<std::int32_t>(endYear);
  zone.end = DaysFromCivil(zone.endYear, 1, 1) * kSecondsPerDay;
  return true;
}

const ZoneOffsets* TableZones::Open(std::string_view name) {
  openedName_.clear();
  const auto found = byFoldedName_.find(Folded(name));
  if (found == byFoldedName_.end()) return nullptr;
  const Name& known = names_[found->second];
  Zone& zone = zones_[known.history];
  if (zone.steps.empty() && !ReadHistory(known.history, zone)) return nullptr;
  openedName_ = known.name;
  return &zone;
}

const TableZones::Step& TableZones::Zone::StepAt(std::int64_t utcSeconds) const {
  if (utcSeconds >= end) {
    // Past the listed years: the same instant of the year with the same calendar before them.
    const std::int64_t days = utcSeconds / kSecondsPerDay;
    const std::int32_t year = CivilFromDays(days).year;
    const std::int32_t like = LikeYear(year, endYear);
    utcSeconds -= (DaysFromCivil(year, 1, 1) - DaysFromCivil(like, 1, 1)) * kSecondsPerDay;
  }
  const auto after =
      std::upper_bound(steps.begin() + 1, steps.end(), utcSeconds,
                       [](std::int64_t t, const Step& step) { return t < step.from; });
  return *(after - 1);
}

std::int32_t TableZones::Zone::OffsetAt(std::int64_t utcSeconds) const {
  return StepAt(utcSeconds).offset;
}

std::int32_t TableZones::Zone::StandardOffsetAt(std::int64_t utcSeconds) const {
  return StepAt(utcSeconds).standard;
}

std::int32_t TableZones::Zone::SmallestOffsetOfYear(std::int32_t year) const {
  const std::int32_t kept = year - kFirstKeptYear;
  if (kept < 0 || kept >= kKeptYears) return ZoneOffsets::SmallestOffsetOfYear(year);
  std::int32_t& smallest = smallestOfYear_[static_cast<std::size_t>(kept)];
  if (smallest == kUnknown) smallest = ZoneOffsets::SmallestOffsetOfYear(year);
  return smallest;
}

}  // namespace velmora
