// The batch's answers depend on the bytes of its input alone: fed whole, byte by byte, or cut
// at any one place, the same input gives the same answers.
#include "cli/batch_caster.h"
#include "cli/batch_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace velmora {
namespace {

std::string AnswersOf(const std::vector<std::string_view>& pieces) {
  std::string out;
  RunBatchPieces(pieces, out);
  return out;
}

TEST(BatchPieces, AnswersDoNotDependOnWhereReadsEnd) {
  const std::string longest = std::string(184, ' ') + "2000-02-04 23:00";  // 200 bytes
  struct Case {
    const char* name;
    std::string input;
  };
  const Case cases[] = {
      {"the longest line with a Windows line end", longest + "\r\n" + longest + "\n"},
      {"one byte too long", " " + longest + "\r\n"},
      {"one byte too long before a carriage return", " " + longest + "\r"},
      {"carriage returns alone between bad lines", "x\r\n\r\ny\r"},
      {"a far overlong line between good ones",
       "1985-07-19 06:30\n" + std::string(700, 'x') + "\r\n2000-02-04 23:00"},
      {"good and bad lines without a last line break", "2000-02-04 23:00\nnot a birth"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string whole = AnswersOf({c.input});
    ASSERT_FALSE(whole.empty());
    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < c.input.size(); ++i) bytes.push_back({&c.input[i], 1});
    EXPECT_EQ(AnswersOf(bytes), whole) << "byte by byte";
    const std::string_view input = c.input;
    for (std::size_t cut = 1; cut < input.size(); ++cut) {
      ASSERT_EQ(AnswersOf({input.substr(0, cut), input.substr(cut)}), whole) << "cut at " << cut;
    }
  }
  // The longest line is a birth, whichever way its carriage return arrives.
  EXPECT_EQ(AnswersOf({cases[0].input}).find("\"error\""), std::string::npos);
}

TEST(BatchCasting, OneCasterServesManyLinesWithoutCarryingAnythingOver) {
  // A good line after a bad one, and a chart after a different chart, come out exactly as if
  // cast alone.
  const char* lines[] = {"2000-02-04 23:00", "garbage",          "1985-07-19 06:30",
                         "2000-02-04 23:00", "2051-12-31 22:59", "2051-12-31 23:00",
                         "2000-02-04 22:59"};
  BatchCaster shared;
  std::int64_t number = 0;
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    ++number;
    std::string once;
    std::string fresh;
    BatchCaster alone;
    const bool good = shared.CastLine(line, number, once);
    EXPECT_EQ(alone.CastLine(line, number, fresh), good);
    EXPECT_EQ(once, fresh);
  }
}

}  // namespace
}  // namespace velmora
