#include "presentation/reading_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/date_time.h"
#include "chart/palace_chart.h"
#include "presentation/star_tables.h"
#include "presentation/styled_text_buffer.h"

namespace velmora {
namespace {

constexpr CharFormat kPlaceBold{kColorRed, true};
constexpr CharFormat kPlaceRegular{kColorRed, false};
constexpr CharFormat kStarsBold{kColorBlue, true};
constexpr CharFormat kStarsRegular{kColorBlue, false};
constexpr CharFormat kLabel{kColorMaroon, true};

using Row = std::array<ItemCode, kDisplayEntries>;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (const char c : text) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  EXPECT_EQ(current, "") << "the text must end with a line break";
  return lines;
}

std::string Str(std::string_view s) {
  return std::string(s);
}

// The lines one palace block must give, built from the name and text tables.
std::vector<std::string> ExpectedBlock(const Row& row) {
  std::vector<std::string> lines = {"Place:" + Str(StarName(row[0])), Str(StarText(row[0]))};
  std::string stars = "Stars:";
  std::vector<std::string> starLines;
  for (std::size_t k = 1; k < row.size(); ++k) {
    if (row[k] == code::Empty) continue;
    if (starLines.size() > 0) stars += ",";
    stars += StarName(row[k]);
    starLines.push_back(Str(StarName(row[k])) + ":" + Str(StarText(row[k])));
  }
  lines.push_back(stars);
  lines.insert(lines.end(), starLines.begin(), starLines.end());
  lines.push_back("");
  return lines;
}

// The colour and weight every character of a block must have, line breaks included.
std::vector<CharFormat> ExpectedFormats(const Row& row) {
  std::vector<CharFormat> f;
  const auto add = [&f](std::size_t n, CharFormat format) { f.insert(f.end(), n, format); };
  const std::vector<std::string> lines = ExpectedBlock(row);
  add(6, kPlaceBold);
  add(lines[0].size() - 6 + 1, kPlaceRegular);
  add(lines[1].size() + 1, kPlaceRegular);
  add(6, kStarsBold);
  add(lines[2].size() - 6 + 1, kStarsRegular);
  for (std::size_t k = 1; k < row.size(); ++k) {
    if (row[k] == code::Empty) continue;
    add(StarName(row[k]).size() + 1, kLabel);
    add(StarText(row[k]).size() + 1, kStarsRegular);
  }
  add(1, kStarsRegular);
  return f;
}

DisplayTable NewYearEve2000Table() {
  PalaceChart chart;
  chart.SetBirthMoment(EncodeDate(2000, 2, 4) + EncodeTime(23, 0));
  chart.ComputeChart();
  DisplayTable table;
  ClearDisplayTable(table);
  BuildDisplayTable(chart, table);
  return table;
}

// A table whose palace names are laid backward from the Life palace on `lifeBranch`, as a chart
// lays them, with no stars.
DisplayTable NamesOnly(std::int32_t lifeBranch) {
  DisplayTable table;
  std::int32_t branch = lifeBranch;
  for (ItemCode name = code::Life; name <= code::Parents; ++name) {
    table.rows[static_cast<std::size_t>(branch)][0] = name;
    branch = WrapAdd(branch, 12, -1);
  }
  return table;
}

// The palace names of the Place lines, in the order the reading gives them.
std::vector<std::string> PlaceNames(const std::string& text) {
  std::vector<std::string> names;
  for (const std::string& line : Lines(text)) {
    if (line.rfind("Place:", 0) == 0) names.push_back(line.substr(6));
  }
  return names;
}

std::vector<std::string> NamesOf(std::initializer_list<ItemCode> codes) {
  std::vector<std::string> names;
  for (const ItemCode c : codes) names.push_back(Str(StarName(c)));
  return names;
}

// --- The reading of 4 February 2000, 23:00. ---

TEST(ReadingOfNewYearEve2000, FirstBlockIsTheLifePalaceOnBranchThree) {
  const DisplayTable table = NewYearEve2000Table();
  const Row life = {code::Life, code::Warrior, code::Minister, code::FieryStar};
  ASSERT_EQ(table.rows[3], life);

  StyledTextBuffer box;
  WriteReading(table, box);
  const std::vector<std::string> lines = Lines(box.PlainText());
  const std::vector<std::string> expected = {
      "Place:Life",
      Str(StarText(code::Life)),
      "Stars:Warrior,Minister,Fiery Star",
      "Warrior:" + Str(StarText(code::Warrior)),
      "Minister:" + Str(StarText(code::Minister)),
      "Fiery Star:" + Str(StarText(code::FieryStar)),
      "",
  };
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), expected);
}

TEST(ReadingOfNewYearEve2000, TwelveBlocksFromLifeThroughRisingBranches) {
  const DisplayTable table = NewYearEve2000Table();
  StyledTextBuffer box;
  WriteReading(table, box);

  EXPECT_EQ(PlaceNames(box.PlainText()),
            NamesOf({code::Life, code::Parents, code::Happiness, code::Property, code::Career,
                     code::Friends, code::Travel, code::Health, code::Wealth, code::Children,
                     code::Marriage, code::Siblings}));

  // Line for line, the whole text is the blocks of branches 3..12, 1, 2.
  std::vector<std::string> expected;
  for (const std::int32_t branch : {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2}) {
    const std::vector<std::string> block =
        ExpectedBlock(table.rows[static_cast<std::size_t>(branch)]);
    expected.insert(expected.end(), block.begin(), block.end());
  }
  EXPECT_EQ(Lines(box.PlainText()), expected);
  EXPECT_TRUE(box.PlainText().ends_with("\n\n")) << "the reading ends with an empty line";
}

// Every character of every block, so that a label's bold is checked to start at its own line
// however much text precedes it.
TEST(ReadingOfNewYearEve2000, ColourAndWeightOfEveryCharacter) {
  const DisplayTable table = NewYearEve2000Table();
  StyledTextBuffer box;
  WriteReading(table, box);

  std::int32_t position = 0;
  for (const std::int32_t branch : {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2}) {
    SCOPED_TRACE("block of branch " + std::to_string(branch));
    const std::vector<CharFormat> want =
        ExpectedFormats(table.rows[static_cast<std::size_t>(branch)]);
    for (const CharFormat& f : want) {
      ASSERT_EQ(box.FormatAt(position), f)
          << "character " << position << " in \"" << box.Text(position - 5, 10) << "\"";
      ++position;
    }
  }
  EXPECT_EQ(position, box.Length());
}

TEST(ReadingPalaceBlock, LineCountFollowsTheStars) {
  struct Case {
    const char* name;
    Row row;
    std::size_t lines;
    const char* starsLine;
  };
  const Case cases[] = {
      {"name only", {code::Career}, 4, "Stars:"},
      {"one star", {code::Wealth, code::Pegasus}, 5, "Stars:Pegasus"},
      {"nine stars, names with spaces and digits",
       {code::Life, code::GreedyWolf, code::LeftAid, code::SevenKills, code::Angel1, code::King,
        code::Wit, code::Punishment, code::Dissolute, code::Festival},
       13,
       "Stars:Greedy Wolf,Left Aid,7 Kills,Angel 1,King,Wit,Punishment,Dissolute,Festival"},
      {"gaps between stars are skipped",
       {code::Parents, 0, code::King, 0, 0, code::Wit, 0, 0, 0, code::LeftAid},
       7,
       "Stars:King,Wit,Left Aid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DisplayTable table;
    table.rows[5] = c.row;
    StyledTextBuffer box;
    PalaceBlock(table, 5, box);
    const std::vector<std::string> lines = Lines(box.PlainText());
    EXPECT_EQ(lines.size(), c.lines);
    EXPECT_EQ(lines, ExpectedBlock(c.row));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], c.starsLine);
    for (std::int32_t i = 0; i < box.Length(); ++i) {
      ASSERT_EQ(box.FormatAt(i), ExpectedFormats(c.row)[static_cast<std::size_t>(i)]) << i;
    }
  }
}

TEST(ReadingPalaceBlock, RowOutsideTheTableWritesNothing) {
  const DisplayTable table = NamesOnly(3);
  for (const std::int32_t row : {-1, kPalaceRows, 1000}) {
    StyledTextBuffer box;
    PalaceBlock(table, row, box);
    EXPECT_EQ(box.Length(), 0) << row;
  }
}

TEST(ReadingOrder, LifeOnBranchTwelveIsFollowedByBranchOne) {
  const DisplayTable table = NamesOnly(12);
  StyledTextBuffer box;
  WriteReading(table, box);
  // Rising branches from 12 meet the names that were laid backward from it.
  EXPECT_EQ(PlaceNames(box.PlainText()),
            NamesOf({code::Life, code::Parents, code::Happiness, code::Property, code::Career,
                     code::Friends, code::Travel, code::Health, code::Wealth, code::Children,
                     code::Marriage, code::Siblings}));
  EXPECT_EQ(Lines(box.PlainText()).size(), 12u * 4u);
  EXPECT_TRUE(box.PlainText().ends_with("Stars:\n\n"));
}

TEST(ReadingOrder, StartsWhereverTheLifePalaceLies) {
  for (std::int32_t life = 1; life <= 12; ++life) {
    SCOPED_TRACE("Life on branch " + std::to_string(life));
    const DisplayTable table = NamesOnly(life);
    StyledTextBuffer box;
    WriteReading(table, box);
    const std::vector<std::string> names = PlaceNames(box.PlainText());
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), "Life");
    EXPECT_EQ(names.back(), Str(StarName(code::Siblings)));
  }
}

TEST(ReadingOrder, TableWithoutLifePalaceGivesNoReading) {
  DisplayTable table;  // cleared, never built
  StyledTextBuffer box;
  WriteReading(table, box);
  EXPECT_EQ(box.Length(), 0);
}

// --- The box operations, in the order the writer calls them. ---

// Records every call; positions count the bytes of the ASCII lines it is given.
class RecordingBox final : public RichTextBox {
 public:
  std::vector<std::string> calls;

  void SetFocus() override { calls.push_back("focus"); }
  void SetWordWrap(bool on) override { calls.push_back(on ? "wrap on" : "wrap off"); }
  void AppendLine(std::string_view line) override {
    calls.push_back("append " + std::string(line));
    end_ += static_cast<std::int32_t>(line.size()) + 1;
  }
  std::int32_t EndPosition() const override { return end_; }
  void Select(std::int32_t start, std::int32_t length) override {
    calls.push_back("select " + std::to_string(start) + "," + std::to_string(length));
  }
  void SetSelectionColor(ColorValue color) override {
    calls.push_back("color " + std::to_string(color));
  }
  void SetSelectionBold(bool bold) override { calls.push_back(bold ? "bold" : "regular"); }

 private:
  std::int32_t end_ = 0;
};

TEST(ReadingBoxCalls, FocusThenWrapOffFirstAndWrapOnLast) {
  const DisplayTable table = NewYearEve2000Table();
  RecordingBox box;
  WriteReading(table, box);
  ASSERT_GE(box.calls.size(), 3u);
  EXPECT_EQ(box.calls[0], "focus");
  EXPECT_EQ(box.calls[1], "wrap off");
  EXPECT_EQ(box.calls.back(), "wrap on");
  std::int32_t focusAndWrapCalls = 0;
  for (const std::string& call : box.calls) {
    if (call == "focus" || call.starts_with("wrap")) ++focusAndWrapCalls;
  }
  EXPECT_EQ(focusAndWrapCalls, 3);
}

TEST(ReadingBoxCalls, EachLineIsFormattedRightAfterItIsAppended) {
  DisplayTable table;
  table.rows[7] = {code::Life, code::King};
  RecordingBox box;
  PalaceBlock(table, 7, box);
  const std::string place = "Place:" + Str(StarName(code::Life));
  const std::string description = Str(StarText(code::Life));
  const std::string stars = "Stars:" + Str(StarName(code::King));
  const std::string star = Str(StarName(code::King)) + ":" + Str(StarText(code::King));
  const auto size = [](const std::string& s) { return static_cast<std::int32_t>(s.size()); };
  const std::int32_t starsStart = size(place) + 1 + size(description) + 1;
  const std::int32_t starStart = starsStart + size(stars) + 1;
  const std::vector<std::string> expected = {
      "append " + place,
      "select 0," + std::to_string(size(place) + 1),
      "color 255",
      "select 0,6",
      "bold",
      "append " + description,
      "append " + stars,
      "select " + std::to_string(starsStart) + "," + std::to_string(size(stars) + 1),
      "color 16711680",
      "select " + std::to_string(starsStart) + ",6",
      "bold",
      "append " + star,
      "select " + std::to_string(starStart) + "," +
          std::to_string(size(Str(StarName(code::King))) + 1),
      "color 128",
      "bold",
      "append ",
  };
  EXPECT_EQ(box.calls, expected);
}

}  // namespace
}  // namespace velmora
