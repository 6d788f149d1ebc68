#include "casting/zone_table.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include <random>
#include <string>
#include <vector>

#include "time_zone/system_zone.h"
#include "time_zone/zone_table_writer.h"

namespace velmora {
namespace {

QDateTime Utc(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

const TableZones& Table() {
  static const TableZones table = [] {
    TableZones loaded;
    EXPECT_TRUE(loaded.Load(ZoneTableBytes()));
    return loaded;
  }();
  return table;
}

// Every zone the system's database holds, old names included, gives the same offsets from the
// table as from the database: a second before, at and a second after each of its changes from
// 1901 to 2052, between them, and at random instants before 1901 and after 2052, where the table
// reads its rules in an earlier year.
TEST(TableZones, GiveTheSystemsOffsetsForEveryZoneAndChange) {
  TableZones table = Table();
  SystemZones system;
  const QStringList names = SystemZoneNames();
  ASSERT_EQ(table.Names(false).size(), static_cast<std::size_t>(names.size()));
  const std::int64_t from = Utc(0).addYears(1901 - 1970).toSecsSinceEpoch();
  const std::int64_t to = TableZones::kTableEnd;
  std::mt19937_64 random(19010101);
  std::uniform_int_distribution<std::int64_t> before1901(Utc(0).addYears(-500).toSecsSinceEpoch(),
                                                         from);
  std::uniform_int_distribution<std::int64_t> after2052(to,
                                                        Utc(0).addYears(400).toSecsSinceEpoch());
  for (const QString& name : names) {
    const std::string id = name.toStdString();
    SCOPED_TRACE(id);
    const ZoneOffsets* fromTable = table.Open(id);
    ASSERT_NE(fromTable, nullptr);
    EXPECT_EQ(table.OpenedName(), id);
    const ZoneOffsets* fromSystem = system.Open(id);
    ASSERT_NE(fromSystem, nullptr);
    std::vector<std::int64_t> instants;
    std::int64_t last = from;
    for (const QTimeZone::OffsetData& change :
         QTimeZone(name.toLatin1()).transitions(Utc(from), Utc(to - 1))) {
      const std::int64_t at = change.atUtc.toSecsSinceEpoch();
      instants.insert(instants.end(),
                      {at - 1, at, at + 1, last + (at - last) / 3, (last + at) / 2});
      last = at;
    }
    for (int i = 0; i < 40; ++i)
      instants.insert(instants.end(), {before1901(random), after2052(random)});
    for (const std::int64_t instant : instants) {
      ASSERT_EQ(fromTable->OffsetAt(instant), fromSystem->OffsetAt(instant)) << instant;
      ASSERT_EQ(fromTable->StandardOffsetAt(instant), fromSystem->StandardOffsetAt(instant))
          << instant;
    }
    for (std::int32_t year = 1901; year <= 2052; year += 3) {
      ASSERT_EQ(fromTable->SmallestOffsetOfYear(year), fromSystem->SmallestOffsetOfYear(year))
          << year;
    }
  }
}

// The table names zones as the database spells them, in any letter case, offers the current
// names apart from the old ones, and knows the database's version; names that hold no zone of a
// place are not among them.
TEST(TableZones, NameZonesAsTheDatabaseDoes) {
  TableZones table = Table();
  EXPECT_EQ(table.Version(), SystemZoneDatabaseVersion());
  EXPECT_FALSE(table.Version().empty());
  ASSERT_NE(table.Open("asia/KOLKATA"), nullptr);
  EXPECT_EQ(table.OpenedName(), "Asia/Kolkata");
  ASSERT_NE(table.Open("asia/calcutta"), nullptr);
  EXPECT_EQ(table.OpenedName(), "Asia/Calcutta");
  for (const char* name : {"", "localtime", "posixrules", "Factory", "UTC+08:00", "Asia",
                           "posix/Asia/Tokyo", "Mars/Base", "Asia/Shanghai\n"}) {
    EXPECT_EQ(table.Open(name), nullptr) << name;
    EXPECT_EQ(table.OpenedName(), "") << name;
  }
  const std::vector<std::string_view> current = table.Names(true);
  for (const char* name : {"Asia/Kolkata", "Europe/Kyiv", "Asia/Ho_Chi_Minh", "UTC"}) {
    EXPECT_NE(std::find(current.begin(), current.end(), name), current.end()) << name;
  }
  for (const char* name : {"Asia/Calcutta", "Europe/Kiev", "Asia/Saigon", "US/Eastern"}) {
    EXPECT_EQ(std::find(current.begin(), current.end(), name), current.end()) << name;
  }
}

// A table cut short or with a byte changed is refused whole, never read past its end.
TEST(TableZones, RefuseABrokenTable) {
  const std::string bytes = ZoneTableBytes();
  TableZones table;
  for (const std::size_t length :
       {std::size_t{0}, std::size_t{3}, std::size_t{40}, bytes.size() / 2, bytes.size() - 1}) {
    EXPECT_FALSE(table.Load(std::string_view(bytes).substr(0, length))) << length;
    EXPECT_FALSE(table.Loaded());
    EXPECT_EQ(table.Open("Asia/Shanghai"), nullptr);
  }
  EXPECT_FALSE(table.Load(bytes + "x"));
  std::mt19937 random(7);
  for (int i = 0; i < 200; ++i) {
    std::string changed = bytes;
    changed[std::uniform_int_distribution<std::size_t>(0, changed.size() - 1)(random)] ^=
        static_cast<char>(1 + i % 255);
    if (table.Load(changed)) {
      for (const std::string_view name : table.Names(false)) {
        if (const ZoneOffsets* zone = table.Open(name)) zone->OffsetAt(0);
      }
    }
  }
}

}  // namespace
}  // namespace velmora
