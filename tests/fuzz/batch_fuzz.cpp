// Arbitrary bytes as a batch of births: every line is answered by one JSON line, a chart or an
// error object, and the answers are the same whether the input arrives whole or in pieces. The
// first byte chooses where the pieces end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_line.h"
#include "cli/batch_stream.h"
#include "require.h"
#include "time_zone/system_zone.h"

namespace {

std::size_t Count(std::string_view text, char c) {
  std::size_t n = 0;
  for (char x : text) n += x == c ? 1 : 0;
  return n;
}

}  // namespace

using velmora::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  if (size == 0) return 0;
  const std::uint8_t seed = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Each line on its own, through the line reader, which asks the system's zones whether a
  // word is a zone's name.
  static SystemZones zones;
  BirthInput birth;
  PlaceWords place;
  std::string error;
  if (ReadBirthLine(input, birth, place, error, &zones)) {
    Require(birth.hour >= 0 && birth.hour <= 23 && birth.minute >= 0 && birth.minute <= 59);
  } else {
    Require(!error.empty());
  }

  std::string whole;
  const BatchSummary summary = RunBatchPieces(std::vector<std::string_view>{input}, whole);
  // A byte order mark at the start is no part of the first line.
  std::string_view text = input;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::size_t lines = Count(text, '\n') + (text.empty() || text.back() == '\n' ? 0 : 1);
  Require(static_cast<std::size_t>(summary.lines) == lines);
  Require(Count(whole, '\n') == lines - static_cast<std::size_t>(summary.skipped));
  Require(whole.empty() || whole.back() == '\n');
  Require(summary.badLines <= summary.lines);

  std::vector<std::string_view> pieces;
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t at = 0; at < input.size();) {
    state = state * 1664525u + 1013904223u;
    const std::size_t length = 1 + (state >> 16) % 300;
    pieces.push_back(input.substr(at, length));
    at += length;
  }
  std::string pieced;
  RunBatchPieces(pieces, pieced);
  Require(pieced == whole);
  return 0;
}
