#include "time_zone/zone_table_writer.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "casting/zone_table.h"
#include "time_zone/system_zone.h"

namespace velmora {

namespace {

void PutUnsigned(std::string& out, std::uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7f) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void PutSigned(std::string& out, std::int64_t value) {
  PutUnsigned(out,
              (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

void PutText(std::string& out, const std::string& text) {
  PutUnsigned(out, text.size());
  out += text;
}

// The earliest instant a zone is asked about: 1 January of the year 1, before any zone's first
// record.
constexpr std::int64_t kEarliest = -62'135'596'800;

using Kind = std::pair<std::int32_t, std::int32_t>;  // offset, standard offset
using Change = std::pair<std::int64_t, Kind>;        // from when, to what

QDateTime NewYear(std::int32_t year) {
  return QDateTime(QDate(year, 1, 1), QTime(0, 0), Qt::UTC);
}

// The zone's changes within the year `year` (of UTC), as Qt lists them: asked a year at a time,
// since Qt lists the changes its rules make after the database's last listed one only over short
// spans.
std::vector<Change> ChangesOfYear(const QTimeZone& zone, std::int32_t year) {
  std::vector<Change> changes;
  for (const QTimeZone::OffsetData& change :
       zone.transitions(NewYear(year), NewYear(year + 1).addSecs(-1))) {
    changes.push_back(
        {change.atUtc.toSecsSinceEpoch(), {change.offsetFromUtc, change.standardTimeOffset}});
  }
  return changes;
}

// Whether the zone's changes from the year `end` on repeat those of the year of the 28 before it
// with the same calendar, as TableZones reads them: checked over two cycles of 28 years.
bool RepeatsFrom(const QTimeZone& zone, std::int32_t end) {
  constexpr std::int64_t kSecondsPerDay = 86'400;
  for (std::int32_t year = end; year < end + 56; ++year) {
    const std::int32_t like = TableZones::LikeYear(year, end);
    const std::int64_t shift =
        (NewYear(year).toSecsSinceEpoch() - NewYear(like).toSecsSinceEpoch()) / kSecondsPerDay *
        kSecondsPerDay;
    std::vector<Change> moved = ChangesOfYear(zone, like);
    for (Change& change : moved) change.first += shift;
    if (moved != ChangesOfYear(zone, year)) return false;
  }
  return true;
}

// One zone's history in the table's form.
std::string HistoryBytes(const QTimeZone& zone) {
  std::vector<Kind> kinds;
  const auto kindNumber = [&kinds](Kind kind) {
    const auto known = std::find(kinds.begin(), kinds.end(), kind);
    if (known != kinds.end()) return static_cast<std::uint64_t>(known - kinds.begin());
    kinds.push_back(kind);
    return static_cast<std::uint64_t>(kinds.size() - 1);
  };
  // Most zones repeat from 2053 on; a zone whose database lists changes further ahead (Morocco's
  // Ramadan hours) is listed until its rules repeat.
  std::int32_t end = TableZones::kFirstEndYear;
  while (end < TableZones::kLastEndYear && !RepeatsFrom(zone, end)) ++end;

  const QDateTime earliest = QDateTime::fromSecsSinceEpoch(kEarliest, Qt::UTC);
  const Kind first{zone.offsetFromUtc(earliest), zone.standardTimeOffset(earliest)};
  const std::uint64_t firstKind = kindNumber(first);
  std::vector<std::pair<std::int64_t, std::uint64_t>> changes;
  Kind before = first;
  const auto take = [&](const std::vector<Change>& listed) {
    for (const auto& [at, after] : listed) {
      // A change of the zone's abbreviation alone changes no offset.
      if (after == before || at <= kEarliest) continue;
      if (!changes.empty() && at <= changes.back().first) continue;
      changes.emplace_back(at, kindNumber(after));
      before = after;
    }
  };
  constexpr std::int32_t kFirstYearAsked = 1800;
  std::vector<Change> early;
  for (const QTimeZone::OffsetData& change :
       zone.transitions(earliest.addSecs(1), NewYear(kFirstYearAsked).addSecs(-1))) {
    early.push_back(
        {change.atUtc.toSecsSinceEpoch(), {change.offsetFromUtc, change.standardTimeOffset}});
  }
  take(early);
  for (std::int32_t year = kFirstYearAsked; year < end; ++year) take(ChangesOfYear(zone, year));

  std::string out;
  PutUnsigned(out, static_cast<std::uint64_t>(end - TableZones::kFirstEndYear));
  PutUnsigned(out, kinds.size());
  for (const auto& [offset, standard] : kinds) {
    PutSigned(out, offset);
    PutSigned(out, standard);
  }
  PutUnsigned(out, firstKind);
  PutUnsigned(out, changes.size());
  std::int64_t last = 0;
  for (const auto& [at, kind] : changes) {
    PutSigned(out, at - last);
    PutUnsigned(out, kind);
    last = at;
  }
  return out;
}

}  // namespace

std::string ZoneTableBytes() {
  const QStringList names = SystemZoneNames();
  const QList<QByteArray> current = QTimeZone::availableTimeZoneIds();
  std::map<std::string, std::uint64_t> historyNumbers;
  std::vector<const std::string*> histories;
  std::string nameBytes;
  PutUnsigned(nameBytes, static_cast<std::uint64_t>(names.size()));
  for (const QString& name : names) {
    const QByteArray id = name.toLatin1();
    const auto [known, added] =
        historyNumbers.try_emplace(HistoryBytes(QTimeZone(id)), histories.size());
    if (added) histories.push_back(&known->first);
    PutText(nameBytes, id.toStdString());
    PutUnsigned(nameBytes, known->second);
    PutUnsigned(nameBytes, current.contains(id) ? 1 : 0);
  }
  std::string out = "VZT1";
  PutText(out, SystemZoneDatabaseVersion());
  out += nameBytes;
  PutUnsigned(out, histories.size());
  for (const std::string* history : histories) out += *history;
  return out;
}

std::string ZoneChangesText() {
  std::string text;
  for (const QString& name : SystemZoneNames()) {
    const QTimeZone zone(name.toLatin1());
    for (std::int32_t year = 1901; year < TableZones::kFirstEndYear; ++year) {
      for (const auto& [at, kind] : ChangesOfYear(zone, year)) {
        text += name.toStdString() + '\t' + std::to_string(at) + '\t' + std::to_string(kind.first) +
                '\t' + std::to_string(kind.second) + '\n';
      }
    }
  }
  return text;
}

}  // namespace velmora
