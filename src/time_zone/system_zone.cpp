#include "time_zone/system_zone.h"

#include <QDateTime>

#include <algorithm>

namespace velmora {

namespace {

QDateTime Utc(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

}  // namespace

SystemZone::SystemZone(std::string_view name) {
  const QByteArray id(name.data(), static_cast<qsizetype>(name.size()));
  // Only the database's own names: QTimeZone also makes zones of offsets such as "UTC+08:00",
  // which name no place and keep no daylight saving time.
  const bool offsetName = id.startsWith("UTC") && id != "UTC";
  valid_ = !id.isEmpty() && !offsetName && QTimeZone::isTimeZoneIdAvailable(id);
  if (valid_) zone_ = QTimeZone(id);
  valid_ = valid_ && zone_.isValid();
}

std::int32_t SystemZone::OffsetAt(std::int64_t utcSeconds) const {
  return zone_.offsetFromUtc(Utc(utcSeconds));
}

std::int32_t SystemZone::StandardOffsetAt(std::int64_t utcSeconds) const {
  return zone_.standardTimeOffset(Utc(utcSeconds));
}

const ZoneOffsets* SystemZones::Open(std::string_view name) {
  if (!zone_ || name_ != name) {
    name_ = name;
    zone_.emplace(name);
    remembered_.Reset(zone_->Valid() ? &*zone_ : nullptr);
  }
  return remembered_.Zone();
}

QStringList SystemZoneNames() {
  QStringList names;
  for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
    if (id.contains('/') || id == "UTC") names << QString::fromLatin1(id);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace velmora
