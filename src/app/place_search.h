#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "casting/place_finder.h"

namespace velmora {

// Finds cities as the user types, away from the window's thread: the world's cities are read
// anew for each query, which takes longer than a keystroke should. While one query runs only the
// latest text typed waits; the answers arrive in order, each with the text it answers.
class PlaceSearch final : public QObject {
  Q_OBJECT

 public:
  PlaceSearch(std::shared_ptr<PlaceFinder> finder, QObject* parent);

  // Looks for the cities `query` names; Found follows with them. An empty query is answered at
  // once with no city.
  void Search(const QString& query);

 signals:
  void Found(const QString& query, const std::vector<velmora::Place>& places);

 private:
  void Start(const QString& query);
  void Finished();

  std::shared_ptr<PlaceFinder> finder_;
  QFutureWatcher<std::vector<Place>> watcher_;
  QString running_;
  std::optional<QString> waiting_;
};

// The one finder of the program's cities, shared by the dialogs that search them.
std::shared_ptr<PlaceFinder> ProgramPlaces();

}  // namespace velmora
