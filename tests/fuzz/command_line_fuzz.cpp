// Arbitrary arguments for velmora-cli, split at NUL bytes: the reader either accepts them or
// says why in one sentence, and what it accepts is self-consistent.
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cli/options.h"
#include "require.h"

using velmora::fuzz::Require;

namespace {

// One city, so that --place is read both ways without the world's table slowing every input.
class OneCity final : public velmora::PlaceFinder {
 public:
  std::vector<velmora::Place> Find(std::string_view query) override {
    if (query != "Testville") return {};
    return {{"Testville", "Region", "Country", "TC", "Asia/Shanghai", 30.0, 120.0, 20000, 0}};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  QStringList arguments{QStringLiteral("velmora-cli")};
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QByteArray& word : bytes.split('\0')) arguments << QString::fromLocal8Bit(word);
  CommandLineRequest request;
  QString error;
  OneCity places;
  if (!ReadCommandLine(arguments, places, request, error)) {
    Require(!error.isEmpty());
    return 0;
  }
  Require(error.isEmpty());
  if (request.batchPath) {
    Require(!request.batchPath->isEmpty() && !request.date && !request.time);
    Require(request.chartPath.isEmpty());
  }
  if (!request.chartPath.isEmpty()) Require(request.chartKind != ChartFileKind::kUnknown);
  if (request.place.city) Require(request.place.zone == request.place.city->zone);
  return 0;
}
