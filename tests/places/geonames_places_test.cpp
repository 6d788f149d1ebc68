// Cities found by name in the GeoNames table, narrowed by region and country, most populous
// first, each with a time zone the system's database knows.
#include "places/geonames_places.h"

#include <geonames.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "time_zone/system_zone.h"

namespace velmora {
namespace {

TEST(PlaceFinding, FindsCitiesByNameRegionAndCountry) {
  struct Case {
    const char* query;
    const char* first;  // the label of the first match; empty when nothing matches
    const char* zone;
  };
  const Case cases[] = {
      {"Urumqi", "\u00dcr\u00fcmqi, Xinjiang Uyghur Autonomous Region, China", "Asia/Urumqi"},
      {"sao paulo", "S\u00e3o Paulo, Brazil", "America/Sao_Paulo"},
      {"SÃO PAULO", "S\u00e3o Paulo, Brazil", "America/Sao_Paulo"},
      {"Springfield", "Springfield, Missouri, United States of America", "America/Chicago"},
      {"Springfield, Illinois", "Springfield, Illinois, United States of America",
       "America/Chicago"},
      {"Springfield, Ill, USA", "Springfield, Illinois, United States of America",
       "America/Chicago"},
      {"London", "London, England, United Kingdom", "Europe/London"},
      {"London, Canada", "London, Ontario, Canada", "America/Toronto"},
      {"  London ,  ON ", "London, Ontario, Canada", "America/Toronto"},
      {"Sydney, CA", "Sydney, Nova Scotia, Canada", "America/Glace_Bay"},
      // A country's code names that country, not a region whose word it starts (Eastern Cape),
      // unless no match lies in the country: no Lyon lies in Australia, AU, so
      // Auvergne-Rhône-Alpes.
      {"london, ca", "London, Ontario, Canada", "America/Toronto"},
      {"Lyon, au", "Lyon, Auvergne-Rh\u00f4ne-Alpes, France", "Europe/Paris"},
      {"Springfield, IL", "Springfield, Illinois, United States of America", "America/Chicago"},
      // A region's abbreviation names the region, in whichever country a match lies.
      {"paris, tx", "Paris, Texas, United States of America", "America/Chicago"},
      {"Perth, WA", "Perth, Western Australia, Australia", "Australia/Perth"},
      {"Vancouver, WA", "Vancouver, Washington, United States of America", "America/Los_Angeles"},
      {"Kolkata, West Bengal, India", "Kolkata, State of West Bengal, India", "Asia/Kolkata"},
      {"new york", "New York, United States of America", "America/New_York"},
      {"beijing", "Beijing, Beijing Municipality, China", "Asia/Shanghai"},
      // A comma in the city's own name.
      {"Burgdorf, Hanover, Lower Saxony, Germany", "Burgdorf, Hanover, Lower Saxony, Germany",
       "Europe/Berlin"},
      {"burgdorf, hanover", "Burgdorf, Hanover, Lower Saxony, Germany", "Europe/Berlin"},
      {"Qwxyz", "", ""},
      {"", "", ""},
      {", Canada", "", ""},
      {"London, Narnia", "", ""},
      {"Lon\xff", "", ""},
      // Longer than any city with its region and country.
      {"London, United Kingdom                                                                 "
       "                                                                                       "
       "                                                                                       ",
       "", ""},
  };
  GeonamesPlaces places;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const std::vector<Place> found = places.Find(c.query);
    if (c.first[0] == '\0') {
      EXPECT_TRUE(found.empty());
      continue;
    }
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(PlaceLabel(found.front()), c.first);
    EXPECT_EQ(found.front().zone, c.zone);
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), [](const Place& a, const Place& b) {
      return a.population > b.population;
    }));
  }
}

// Every city's zone is one the system's database knows, and a sample of a few hundred cities,
// spread over the whole table, is found by its own name, region and country. (The library reads
// all 24,000 cities for each query, so asking for every one would take minutes.)
TEST(PlaceFinding, FindsEachCityByItsOwnNamesWithAZoneTheSystemKnows) {
  GeonamesPlaces places;
  SystemZones zones;
  std::set<std::string> zonesSeen;
  const int count = geonames_get_n_cities();
  ASSERT_GT(count, 20000);
  for (int i = 0; i < count; ++i) {
    GeonamesCity* city = geonames_get_city(i);
    const std::string zone = geonames_city_get_timezone(city);
    const std::string query = std::string(geonames_city_get_name(city)) + ", " +
                              geonames_city_get_state(city) + ", " +
                              geonames_city_get_country(city);
    const double longitude = geonames_city_get_longitude(city);
    geonames_city_free(city);
    if (zonesSeen.insert(zone).second) {
      EXPECT_NE(zones.Open(zone), nullptr) << zone;
    }
    if (i % 97 != 0) continue;
    const std::vector<Place> found = places.Find(query);
    EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const Place& p) {
      return p.zone == zone && p.longitude == longitude;
    })) << query;
  }
}

}  // namespace
}  // namespace velmora
