#include "time_zone/system_zone.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTimeZone>

#include <random>
#include <vector>

namespace velmora {
namespace {

// Every zone file of the system's database, old names and all, in any letter case, is a zone.
TEST(SystemZone, TakesEveryNameOfTheDatabaseInAnyLetterCase) {
  const QStringList names = SystemZoneNames();
  for (const char* name : {"Asia/Shanghai", "Asia/Calcutta", "Asia/Saigon", "US/Eastern", "Etc/UTC",
                           "Etc/GMT-8", "Europe/Kiev", "UTC"}) {
    EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
  }
  const QDir root(QStringLiteral("/usr/share/zoneinfo"));
  QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
  int zones = 0;
  while (files.hasNext()) {
    const QString name = root.relativeFilePath(files.next());
    QFile file(files.filePath());
    if (name.startsWith(QLatin1String("posix/")) || name.startsWith(QLatin1String("right/")) ||
        name == QLatin1String("localtime") || name == QLatin1String("posixrules") ||
        name == QLatin1String("Factory") || !file.open(QIODevice::ReadOnly) ||
        file.read(4) != "TZif") {
      continue;
    }
    ++zones;
    EXPECT_TRUE(SystemZone(name.toStdString()).Valid()) << name.toStdString();
    EXPECT_TRUE(SystemZone(name.toLower().toStdString()).Valid()) << name.toStdString();
    EXPECT_TRUE(names.contains(name)) << name.toStdString();
  }
  EXPECT_GT(zones, 500);
  // The machine's own clock, the rules POSIX zone strings borrow and the zone meaning "not set"
  // are no zones of a place.
  for (const char* name : {"", "Mars/Base", "UTC+08:00", "zone.tab", "posix/Asia/Tokyo", "Asia",
                           "localtime", "posixrules", "Factory", "factory"}) {
    EXPECT_FALSE(SystemZone(name).Valid()) << name;
    EXPECT_FALSE(SystemZoneNames().contains(QLatin1String(name))) << name;
  }
}

// An old name reads as the zone it stands for.
TEST(SystemZone, AnOldNameIsTheZoneItStandsFor) {
  const SystemZone old("asia/calcutta");
  const SystemZone current("Asia/Kolkata");
  for (const std::int64_t instant : {0LL, 600'000'000LL, 1'700'000'000LL}) {
    EXPECT_EQ(old.OffsetAt(instant), current.OffsetAt(instant));
  }
}

// The offsets worked out once a year are the database's at every instant: at each change, a
// second either side of it, and anywhere over five centuries, more years than a zone keeps at
// once.
TEST(SystemZone, GivesTheDatabasesOffsetsAtEveryInstant) {
  const auto utc = [](std::int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
  };
  const std::int64_t first = utc(0).addYears(-200).toSecsSinceEpoch();
  const std::int64_t last = utc(0).addYears(300).toSecsSinceEpoch();
  std::mt19937_64 random(20000204);
  for (const char* name : {"Asia/Shanghai", "America/New_York", "Europe/London", "Europe/Dublin",
                           "Africa/Casablanca", "Australia/Lord_Howe", "Pacific/Chatham",
                           "Asia/Kolkata", "America/Sao_Paulo", "Europe/Moscow", "Etc/GMT-8"}) {
    SCOPED_TRACE(name);
    const QTimeZone database{QByteArray(name)};
    const SystemZone zone(name);
    std::vector<std::int64_t> instants;
    for (const QTimeZone::OffsetData& change : database.transitions(utc(first), utc(last))) {
      const std::int64_t at = change.atUtc.toSecsSinceEpoch();
      instants.insert(instants.end(), {at - 1, at, at + 1});
    }
    for (int i = 0; i < 2000; ++i) {
      instants.push_back(std::uniform_int_distribution<std::int64_t>(first, last)(random));
    }
    for (const std::int64_t instant : instants) {
      ASSERT_EQ(zone.OffsetAt(instant), database.offsetFromUtc(utc(instant))) << instant;
      ASSERT_EQ(zone.StandardOffsetAt(instant), database.standardTimeOffset(utc(instant)))
          << instant;
    }
  }
}

}  // namespace
}  // namespace velmora
