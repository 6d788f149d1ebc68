#include <gtest/gtest.h>

#include <string>

#include "casting/place_finder.h"

namespace velmora {
namespace {

// Knows one city for each query ending in an even number, none for an odd one, and counts how
// often it was asked.
class CountingFinder final : public PlaceFinder {
 public:
  std::vector<Place> Find(std::string_view query) override {
    ++asked;
    const int number = std::stoi(std::string(query.substr(query.rfind(' ') + 1)));
    if (number % 2 != 0) return {};
    Place city;
    city.name = std::string(query);
    Place lesser = city;
    lesser.population = 1;
    city.population = 2;
    return {city, lesser};
  }
  int asked = 0;
};

TEST(PlaceMemory, AsksOnceForEachQueryHoweverManyPlacesABatchNamesInTurn) {
  struct Case {
    int distinct;  // queries named in turn
    int rounds;
    int asked;  // by the end
  };
  for (const Case c :
       {Case{3, 5, 3}, Case{200, 3, 200}, Case{4096, 2, 4096}, Case{5000, 1, 5000}}) {
    CountingFinder finder;
    PlaceMemory memory(finder);
    for (int round = 0; round < c.rounds; ++round) {
      for (int i = 0; i < c.distinct; ++i) {
        const std::string query = "city " + std::to_string(i);
        const Place* city = memory.Find(query);
        ASSERT_EQ(city != nullptr, i % 2 == 0) << query;
        if (city != nullptr) {
          EXPECT_EQ(city->name, query);
          EXPECT_EQ(city->population, 2u);  // the most populous match
        }
      }
    }
    EXPECT_EQ(finder.asked, c.asked) << c.distinct << " places";
  }
}

}  // namespace
}  // namespace velmora
