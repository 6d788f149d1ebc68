#include "time_zone/system_zone.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace velmora {
namespace {

// Every zone file of the system's database, old names and all, in any letter case, is a zone.
TEST(SystemZone, TakesEveryNameOfTheDatabaseInAnyLetterCase) {
  const QStringList names = SystemZoneNames();
  for (const char* name : {"Asia/Shanghai", "Asia/Calcutta", "Asia/Saigon", "US/Eastern",
                           "Etc/UTC", "Etc/GMT-8", "Europe/Kiev", "UTC"}) {
    EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
  }
  const QDir root(QStringLiteral("/usr/share/zoneinfo"));
  QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
  int zones = 0;
  while (files.hasNext()) {
    const QString name = root.relativeFilePath(files.next());
    QFile file(files.filePath());
    if (name.startsWith(QLatin1String("posix/")) || name.startsWith(QLatin1String("right/")) ||
        !file.open(QIODevice::ReadOnly) || file.read(4) != "TZif") {
      continue;
    }
    ++zones;
    EXPECT_TRUE(SystemZone(name.toStdString()).Valid()) << name.toStdString();
    EXPECT_TRUE(SystemZone(name.toLower().toStdString()).Valid()) << name.toStdString();
    EXPECT_TRUE(names.contains(name)) << name.toStdString();
  }
  EXPECT_GT(zones, 500);
  for (const char* name : {"", "Mars/Base", "UTC+08:00", "zone.tab", "posix/Asia/Tokyo", "Asia"}) {
    EXPECT_FALSE(SystemZone(name).Valid()) << name;
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

}  // namespace
}  // namespace velmora
