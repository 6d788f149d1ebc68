#include "time_zone/system_zone.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace velmora {

namespace {

QDateTime Utc(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// The folder of the system's time zone database (Debian's tzdata).
constexpr const char* kZoneInfo = "/usr/share/zoneinfo";

// Every name of the system's database as it spells it, sorted: Qt's zones and the links among the
// database's files, the old names such as Asia/Calcutta and US/Eastern that Qt does not list. The
// posix/ and right/ copies and the files that hold no zone are left out.
const QStringList& DatabaseNames() {
  static const QStringList names = [] {
    QStringList all;
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
      if (id.contains('/') || id == "UTC") all << QString::fromLatin1(id);
    }
    const QDir root(QString::fromLatin1(kZoneInfo));
    QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString name = root.relativeFilePath(files.next());
      if (name.startsWith(QLatin1String("posix/")) || name.startsWith(QLatin1String("right/"))) {
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

// The database's spelling of `name`, in any letter case; empty for a name it does not hold.
QByteArray DatabaseSpelling(const QByteArray& name) {
  const QString asked = QString::fromUtf8(name);
  for (const QString& known : DatabaseNames()) {
    if (known.compare(asked, Qt::CaseInsensitive) == 0) return known.toLatin1();
  }
  return {};
}

}  // namespace

SystemZone::SystemZone(std::string_view name) {
  const QByteArray asked(name.data(), static_cast<qsizetype>(name.size()));
  // Only the database's own names, its old ones included, in any letter case: QTimeZone also
  // makes zones of offsets such as "UTC+08:00", which name no place and keep no daylight saving
  // time.
  const QByteArray id = DatabaseSpelling(asked);
  valid_ = !id.isEmpty();
  if (valid_) zone_ = QTimeZone(id);
  valid_ = valid_ && zone_.isValid();
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
  auto known = byName_.find(name);
  if (known == byName_.end()) {
    if (byName_.size() >= kMostNames) byName_.clear();
    const QByteArray id =
        DatabaseSpelling(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    const SystemZone* zone = nullptr;
    if (!id.isEmpty()) {
      const SystemZone& opened =
          zones_.try_emplace(id.toStdString(), id.toStdString()).first->second;
      if (opened.Valid()) zone = &opened;
    }
    known = byName_.try_emplace(std::string(name), zone).first;
  }
  return known->second;
}

QStringList SystemZoneNames() {
  return DatabaseNames();
}

}  // namespace velmora
