#include "app/place_search.h"

#include <QtConcurrent/QtConcurrentRun>

#include "places/geonames_places.h"

namespace velmora {

PlaceSearch::PlaceSearch(std::shared_ptr<PlaceFinder> finder, QObject* parent)
    : QObject(parent), finder_(std::move(finder)) {
  connect(&watcher_, &QFutureWatcher<std::vector<Place>>::finished, this, &PlaceSearch::Finished);
}

void PlaceSearch::Search(const QString& query) {
  if (query.trimmed().isEmpty()) {
    waiting_.reset();
    emit Found(query, {});
    return;
  }
  if (watcher_.isRunning()) {
    waiting_ = query;
    return;
  }
  Start(query);
}

void PlaceSearch::Start(const QString& query) {
  running_ = query;
  // The finder is held by the task too, so a dialog closed mid-query leaves it whole.
  watcher_.setFuture(QtConcurrent::run(
      [finder = finder_, text = query.toStdString()] { return finder->Find(text); }));
}

void PlaceSearch::Finished() {
  const std::vector<Place> places = watcher_.result();
  if (waiting_) {
    // The text has changed since: its answer is the one worth showing.
    const QString next = *waiting_;
    waiting_.reset();
    Start(next);
    return;
  }
  emit Found(running_, places);
}

std::shared_ptr<PlaceFinder> ProgramPlaces() {
  static const std::shared_ptr<PlaceFinder> places = std::make_shared<GeonamesPlaces>();
  return places;
}

}  // namespace velmora
