#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/clock_correction.h"
#include "casting/birth_place.h"

namespace velmora {

// The history of every zone of the time zone database, as the build wrote it from the system's
// database: for each zone the offset in force and its standard part from the zone's first
// record until 2053 (or until its rules repeat), then those rules repeating by the calendar. Shells
// that cannot read the system's database (the browser, the Python package) cast from it, and so
// cast a birth place exactly as velmora-cli does on the machine that built them.
//
// The table, as bytes (every number an unsigned LEB128 varint, a signed one zigzag-coded):
//   "VZT1", the database's version (length, bytes),
//   the names (count, then each: length, bytes, history number, 1 for a current name or 0 for
//   an old one), sorted,
//   the histories (count, then each: its end year less 2053, its kinds of offset (count, then
//   each: offset, standard offset, signed), the kind in force at first, then its changes (count,
//   then each: seconds since the change before it, or since 1 January 1970 for the first,
//   signed; the kind after it)).
class TableZones final : public ZoneSource {
 public:
  // The year from which a zone's changes are no longer listed but read in the year of the 28
  // before it that has the same calendar: 2053 for most zones, later for a zone whose database
  // lists changes further ahead, at most kLastEndYear.
  static constexpr std::int32_t kFirstEndYear = 2053;
  static constexpr std::int32_t kLastEndYear = 2400;
  // 1 January 2053 00:00 UTC: every zone is listed until then.
  static constexpr std::int64_t kTableEnd = 2'619'302'400;

  // The year of the 28 before `end` that begins on the weekday `year` begins on and is as long.
  // A zone's rules for years to come name months, weeks and weekdays, so they fall on the same
  // days in both years.
  static std::int32_t LikeYear(std::int32_t year, std::int32_t end);

  // Reads the table `bytes`; false, keeping no zone, when they are not a whole table.
  bool Load(std::string_view bytes);
  bool Loaded() const { return !names_.empty(); }

  // The version of the time zone database the table was written from, such as "2025b".
  const std::string& Version() const { return version_; }
  // Every name the table holds, sorted; `current` leaves out the old ones (Asia/Calcutta for
  // Asia/Kolkata, US/Eastern).
  std::vector<std::string_view> Names(bool current) const;

  const ZoneOffsets* Open(std::string_view name) override;
  std::string_view OpenedName() const override { return openedName_; }

 private:
  struct Step {
    std::int64_t from;  // the instant from which it holds, until the next step's
    std::int32_t offset;
    std::int32_t standard;
  };
  // One zone's history, worked out from the table when the zone is first opened.
  class Zone final : public ZoneOffsets {
   public:
    std::int32_t OffsetAt(std::int64_t utcSeconds) const override;
    std::int32_t StandardOffsetAt(std::int64_t utcSeconds) const override;
    std::int32_t SmallestOffsetOfYear(std::int32_t year) const override;

    std::vector<Step> steps;  // the first from the earliest instant there is
    std::int32_t endYear = kFirstEndYear;
    std::int64_t end = kTableEnd;  // 1 January of endYear, 00:00 UTC

   private:
    static constexpr std::int32_t kFirstKeptYear = 1900;
    static constexpr std::int32_t kKeptYears = 154;  // 1900 to 2053
    const Step& StepAt(std::int64_t utcSeconds) const;
    // Each year's smallest offset, worked out once: kUnknown until then.
    static constexpr std::int32_t kUnknown = std::numeric_limits<std::int32_t>::min();
    mutable std::vector<std::int32_t> smallestOfYear_ =
        std::vector<std::int32_t>(kKeptYears, kUnknown);
  };
  struct Name {
    std::string name;
    std::uint32_t history;
    bool current;
  };

  // Reads history `index` from the table.
  bool ReadHistory(std::size_t index, Zone& zone) const;

  std::string bytes_;
  std::string version_;
  std::vector<Name> names_;
  // The names by their letters in lower case, since a zone is named in any letter case.
  std::unordered_map<std::string, std::uint32_t> byFoldedName_;
  std::vector<std::size_t> historyAt_;  // where each history begins in bytes_
  std::vector<Zone> zones_;             // by history; empty steps until first opened
  std::string openedName_;
};

}  // namespace velmora
