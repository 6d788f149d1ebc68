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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  QStringList arguments{QStringLiteral("velmora-cli")};
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QByteArray& word : bytes.split('\0')) arguments << QString::fromLocal8Bit(word);
  CommandLineRequest request;
  QString error;
  if (!ReadCommandLine(arguments, request, error)) {
    Require(!error.isEmpty());
    return 0;
  }
  Require(error.isEmpty());
  if (request.batchPath) {
    Require(!request.batchPath->isEmpty() && !request.date && !request.time);
    Require(request.chartPath.isEmpty());
  }
  if (!request.chartPath.isEmpty()) Require(request.chartKind != ChartFileKind::kUnknown);
  return 0;
}
