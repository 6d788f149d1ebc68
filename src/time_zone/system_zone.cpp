#include "time_zone/system_zone.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

QDateTime Utc(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// The folder of the system's time zone database (Debian's tzdata).
constexpr const char* kZoneInfo = "/usr/share/zoneinfo";

// Names in the database's folder that hold no zone of a place: the machine's own clock
// (localtime), the rules a POSIX zone string borrows (posixrules) and a zone that means "not
// set" (Factory).
bool IsZoneOfAPlace(const QString& name) {
  return name != QLatin1String("localtime") && name != QLatin1String("posixrules") &&
         name != QLatin1String("Factory");
}

// Whether the database's file for `name` is a regular file: reading anything else (a FIFO, a
// device) could wait forever.
bool IsZoneFile(const QString& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(kZoneInfo) / name.toStdString(),
                                          error);
}

// Every name of the system's database as it spells it, sorted: Qt's zones and the links among the
// database's files, the old names such as Asia/Calcutta and US/Eastern that Qt does not list. The
// posix/ and right/ copies and the files that hold no zone are left out.
const QStringList& DatabaseNames() {
  static const QStringList names = [] {
    QStringList all;
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
      const QString name = QString::fromLatin1(id);
      if ((id.contains('/') || id == "UTC") && IsZoneFile(name)) all << name;
    }
    const QDir root(QString::fromLatin1(kZoneInfo));
    QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString name = root.relativeFilePath(files.next());
      if (name.startsWith(QLatin1String("posix/")) || name.startsWith(QLatin1String("right/")) ||
          !IsZoneOfAPlace(name) || !IsZoneFile(name)) {
        continue;
      }
      QFile file(files.filePath());
      if (file.open(QIODevice::ReadOnly) && file.read(4) == "TZif") all << name;
    }
    all.sort();
    all.removeDuplicates();
    return all;
  }();
  return names;
}

// A zone's name as it is looked up, in any letter case.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The database's names by their folded spelling.
const std::unordered_map<std::string, std::string>& SpellingsByFoldedName() {
  static const std::unordered_map<std::string, std::string> spellings = [] {
    std::unordered_map<std::string, std::string> all;
    for (const QString& name : DatabaseNames()) {
      all.emplace(Folded(name.toStdString()), name.toStdString());
    }
    return all;
  }();
  return spellings;
}

// The database's spelling of `name`, in any letter case; null for a name it does not hold.
const std::string* DatabaseSpelling(std::string_view name) {
  const auto& spellings = SpellingsByFoldedName();
  const auto known = spellings.find(Folded(name));
  return known == spellings.end() ? nullptr : &known->second;
}

}  // namespace

SystemZone::SystemZone(std::string_view name) {
  // Only the database's own names, its old ones included, in any letter case: QTimeZone also
  // makes zones of offsets such as "UTC+08:00", which name no place and keep no daylight saving
  // time.
  const std::string* id = DatabaseSpelling(name);
  if (id != nullptr) zone_ = QTimeZone(QByteArray::fromStdString(*id));
  valid_ = id != nullptr && zone_.isValid();
}

const std::vector<SystemZone::Step>& SystemZone::StretchSteps(std::int64_t stretch) const {
  if (stretches_.size() >= kMostKept && !stretches_.contains(stretch)) stretches_.clear();
  std::vector<Step>& steps = stretches_[stretch];
  if (steps.empty()) {
    const std::int64_t start = stretch << kStretchBits;
    const std::int64_t end = start + (std::int64_t{1} << kStretchBits);
    steps.push_back({start, zone_.offsetFromUtc(Utc(start)), zone_.standardTimeOffset(Utc(start))});
    for (const QTimeZone::OffsetData& change : zone_.transitions(Utc(start + 1), Utc(end - 1))) {
      const std::int64_t at = change.atUtc.toSecsSinceEpoch();
      if (at > start && at < end)
        steps.push_back({at, change.offsetFromUtc, change.standardTimeOffset});
    }
  }
  return steps;
}

const SystemZone::Step& SystemZone::StepAt(std::int64_t utcSeconds) const {
  const std::int64_t stretch = utcSeconds >> kStretchBits;  // rounds down, before 1970 too
  if (lastSteps_ == nullptr || stretch != lastStretch_) {
    lastStretch_ = stretch;
    lastSteps_ = &StretchSteps(stretch);
  }
  const std::vector<Step>& steps = *lastSteps_;
  const auto after =
      std::upper_bound(steps.begin(), steps.end(), utcSeconds,
                       [](std::int64_t t, const Step& step) { return t < step.from; });
  return *(after - 1);
}

std::int32_t SystemZone::OffsetAt(std::int64_t utcSeconds) const {
  return StepAt(utcSeconds).offset;
}

std::int32_t SystemZone::StandardOffsetAt(std::int64_t utcSeconds) const {
  return StepAt(utcSeconds).standard;
}

std::int32_t SystemZone::SmallestOffsetOfYear(std::int32_t year) const {
  if (smallestOfYear_.size() >= kMostKept && !smallestOfYear_.contains(year)) {
    smallestOfYear_.clear();
  }
  const auto [kept, added] = smallestOfYear_.try_emplace(year, 0);
  if (added) kept->second = ZoneOffsets::SmallestOffsetOfYear(year);
  return kept->second;
}

const ZoneOffsets* SystemZones::Open(std::string_view name) {
  openedName_ = {};
  const std::string* id = DatabaseSpelling(name);
  if (id == nullptr) return nullptr;
  const SystemZone& zone = zones_.try_emplace(*id, *id).first->second;
  if (!zone.Valid()) return nullptr;
  openedName_ = *id;
  return &zone;
}

bool SystemZones::Empty() const {
  return DatabaseNames().isEmpty();
}

QStringList SystemZoneNames() {
  return DatabaseNames();
}

std::string SystemZoneDatabaseVersion() {
  // tzdata.zi, the database in one text file, opens with "# version 2025b".
  QFile file(QString::fromLatin1(kZoneInfo) + QLatin1String("/tzdata.zi"));
  if (!IsZoneFile(QStringLiteral("tzdata.zi")) || !file.open(QIODevice::ReadOnly)) return {};
  const QByteArray first = file.readLine(64).trimmed();
  const QByteArray prefix = "# version ";
  return first.startsWith(prefix) ? first.mid(prefix.size()).toStdString() : std::string();
}

}  // namespace velmora
