#pragma once

#include <array>
#include <cstdint>

#include "calendar/date_time.h"

namespace velmora {

// One lunar year, named by the Gregorian year in which its new year's day falls.
struct LunarYear {
  std::int32_t newYearOffset;  // days from 1 January to the lunar new year's day
  std::int32_t leapMonth;      // 0, or L: a leap month follows month L
  // 30-day (1) or 29-day (0) months in the order they follow each other: months 1..L, the leap
  // month, then months L+1..12. A twelve-month year's last flag is 0 and never read.
  std::array<std::int32_t, 13> monthLong;
};

inline constexpr std::int32_t kFirstLunarYear = 1901;
inline constexpr std::int32_t kLastLunarYear = 2051;
// Gregorian dates convert from 1 January 1902 to 31 December 2051; January 1902 still lies in
// the lunar year 1901, which is why the table starts a year early.
inline constexpr std::int32_t kFirstConvertibleYear = 1902;
inline constexpr std::int32_t kLastConvertibleYear = 2051;

// Lunar years 1901 to 2051, row r for the year 1901 + r.
inline constexpr std::array<LunarYear, 151> LunarYearTable = {{
    {49, 0, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 0}},   // 1901
    {38, 0, {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 1902
    {28, 5, {0, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1}},   // 1903
    {46, 0, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0}},   // 1904
    {34, 0, {1, 1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1905
    {24, 4, {0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}},   // 1906
    {43, 0, {0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 1907
    {32, 0, {1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}},   // 1908
    {21, 2, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1}},   // 1909
    {40, 0, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 0}},   // 1910
    {29, 6, {1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1}},   // 1911
    {48, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0}},   // 1912
    {36, 0, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1913
    {25, 5, {1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1}},   // 1914
    {44, 0, {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0}},   // 1915
    {33, 0, {1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 1916
    {22, 2, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0}},   // 1917
    {41, 0, {1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0}},   // 1918
    {31, 7, {0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 1}},   // 1919
    {50, 0, {0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0}},   // 1920
    {38, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0}},   // 1921
    {27, 5, {1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1}},   // 1922
    {46, 0, {0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1923
    {35, 0, {0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 0}},   // 1924
    {23, 4, {1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1}},   // 1925
    {43, 0, {0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 1926
    {32, 0, {1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 1927
    {22, 2, {0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1}},   // 1928
    {40, 0, {0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0}},   // 1929
    {29, 6, {0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0}},   // 1930
    {47, 0, {1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},   // 1931
    {36, 0, {1, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1932
    {25, 5, {0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1}},   // 1933
    {44, 0, {0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}},   // 1934
    {34, 0, {0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 1935
    {23, 3, {1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 1, 0}},   // 1936
    {41, 0, {1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 0}},   // 1937
    {30, 7, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1}},   // 1938
    {49, 0, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1939
    {38, 0, {1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},   // 1940
    {26, 6, {1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1941
    {45, 0, {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},   // 1942
    {35, 0, {0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 1943
    {24, 4, {1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1}},   // 1944
    {43, 0, {0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0}},   // 1945
    {32, 0, {1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0}},   // 1946
    {21, 2, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1}},   // 1947
    {40, 0, {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1948
    {28, 7, {1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1}},   // 1949
    {47, 0, {0, 1, 1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}},   // 1950
    {36, 0, {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},   // 1951
    {26, 5, {0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1}},   // 1952
    {44, 0, {0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0}},   // 1953
    {33, 0, {1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0}},   // 1954
    {23, 3, {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1}},   // 1955
    {42, 0, {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0}},   // 1956
    {30, 8, {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1957
    {48, 0, {1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1958
    {38, 0, {0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}},   // 1959
    {27, 6, {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0}},   // 1960
    {45, 0, {1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0}},   // 1961
    {35, 0, {0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 1962
    {24, 4, {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 1963
    {43, 0, {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 1964
    {32, 0, {0, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0}},   // 1965
    {20, 3, {1, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0}},   // 1966
    {39, 0, {1, 1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 1967
    {29, 7, {0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1}},   // 1968
    {47, 0, {0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 1969
    {36, 0, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0}},   // 1970
    {26, 5, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1}},   // 1971
    {45, 0, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0}},   // 1972
    {33, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0}},   // 1973
    {22, 4, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1}},   // 1974
    {41, 0, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1975
    {30, 8, {1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1}},   // 1976
    {48, 0, {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0}},   // 1977
    {37, 0, {1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 1978
    {27, 6, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0}},   // 1979
    {46, 0, {1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0}},   // 1980
    {35, 0, {0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0}},   // 1981
    {24, 4, {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1}},   // 1982
    {43, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0}},   // 1983
    {32, 10, {1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1}},  // 1984
    {50, 0, {0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1985
    {39, 0, {0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 0}},   // 1986
    {28, 6, {1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0}},   // 1987
    {47, 0, {1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 1988
    {36, 0, {1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 1989
    {26, 5, {0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1}},   // 1990
    {45, 0, {0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0}},   // 1991
    {34, 0, {0, 1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0}},   // 1992
    {22, 3, {0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1993
    {40, 0, {1, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 1994
    {30, 8, {0, 1, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 1}},   // 1995
    {49, 0, {0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 0, 0}},   // 1996
    {37, 0, {1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 1997
    {27, 5, {1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1}},   // 1998
    {46, 0, {1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 0}},   // 1999
    {35, 0, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 0}},   // 2000
    {23, 4, {1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1}},   // 2001
    {42, 0, {1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},   // 2002
    {31, 0, {1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 2003
    {21, 2, {0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1}},   // 2004
    {39, 0, {0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0}},   // 2005
    {28, 7, {1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1}},   // 2006
    {48, 0, {0, 0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0}},   // 2007
    {37, 0, {1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0}},   // 2008
    {25, 5, {1, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1}},   // 2009
    {44, 0, {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0}},   // 2010
    {33, 0, {1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0}},   // 2011
    {22, 4, {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},   // 2012
    {40, 0, {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0}},   // 2013
    {30, 9, {0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1}},   // 2014
    {49, 0, {0, 1, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0, 0}},   // 2015
    {38, 0, {1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0}},   // 2016
    {27, 6, {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1}},   // 2017
    {46, 0, {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0}},   // 2018
    {35, 0, {1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0}},   // 2019
    {24, 4, {0, 1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1}},   // 2020
    {42, 0, {0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}},   // 2021
    {31, 0, {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0}},   // 2022
    {21, 2, {0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1}},   // 2023
    {40, 0, {0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0}},   // 2024
    {28, 6, {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0}},   // 2025
    {47, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 1, 0, 0}},   // 2026
    {36, 0, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0}},   // 2027
    {25, 5, {1, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0}},   // 2028
    {43, 0, {1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0}},   // 2029
    {33, 0, {0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0}},   // 2030
    {22, 3, {0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0}},   // 2031
    {41, 0, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0}},   // 2032
    {30, 11, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1}},  // 2033
    {49, 0, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0}},   // 2034
    {38, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0}},   // 2035
    {27, 6, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1}},   // 2036
    {45, 0, {1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0}},   // 2037
    {34, 0, {1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0}},   // 2038
    {23, 5, {1, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0}},   // 2039
    {42, 0, {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 0}},   // 2040
    {31, 0, {0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0}},   // 2041
    {21, 2, {0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1}},   // 2042
    {40, 0, {0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0}},   // 2043
    {29, 7, {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 1}},   // 2044
    {47, 0, {1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0}},   // 2045
    {36, 0, {1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0}},   // 2046
    {25, 5, {1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1}},   // 2047
    {44, 0, {0, 1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0}},   // 2048
    {32, 0, {1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0}},   // 2049
    {22, 3, {0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 1, 0}},   // 2050
    {41, 0, {1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 1, 0}},   // 2051
}};

struct LunarDate {
  std::int32_t year = 0;   // Gregorian year of the lunar year's new year, 1901..2051
  std::int32_t month = 0;  // 1..12, or -L for the leap month that follows month L
  std::int32_t day = 0;    // 1..30

  // The month as the almanac numbers it, and whether it is the leap month after that one.
  constexpr std::int32_t MonthNumber() const { return month < 0 ? -month : month; }
  constexpr bool IsLeap() const { return month < 0; }
  friend constexpr bool operator==(const LunarDate&, const LunarDate&) = default;
};

// Result codes of the conversion.
enum LunarResult : std::int32_t {
  kLunarOk = 0,
  kLunarYearOutOfRange = 1,   // year outside 1902..2051
  kLunarMonthOutOfRange = 2,  // month outside 1..12
  kLunarDayOutOfRange = 3,    // day outside the month
};

constexpr std::int32_t LunarYearLength(const LunarYear& row) {
  std::int32_t days = 0;
  const std::int32_t months = row.leapMonth == 0 ? 12 : 13;
  for (std::int32_t i = 0; i < months; ++i) days += 29 + row.monthLong[static_cast<std::size_t>(i)];
  return days;
}

// Every day from the 1901 new year to the end of 2051 lies in exactly one month of the table:
// each year's months end exactly where the next year's new year begins.
constexpr bool LunarYearTableIsContiguous() {
  for (std::size_t r = 0; r + 1 < LunarYearTable.size(); ++r) {
    const std::int32_t year = kFirstLunarYear + static_cast<std::int32_t>(r);
    const std::int32_t gregorianDays = IsGregorianLeapYear(year) ? 366 : 365;
    if (LunarYearTable[r].newYearOffset + LunarYearLength(LunarYearTable[r]) !=
        gregorianDays + LunarYearTable[r + 1].newYearOffset)
      return false;
  }
  return true;
}
static_assert(LunarYearTableIsContiguous());

// The table restated by day number (whole days since 30 December 1899), so that a day converts
// without walking the months: where each lunar year begins and where each of its
// months begins, counted in days from the new year in the order the months follow each other.
struct LunarYearDays {
  std::int32_t newYearDay;
  std::int32_t leapMonth;
  // Entry k: the first day of the (k + 1)-th month of the year. The entries after the last
  // month hold the year's length, which no day of the year reaches.
  std::array<std::int32_t, 14> monthStart;
};

constexpr std::array<LunarYearDays, 152> MakeLunarYearDays() {
  std::array<LunarYearDays, 152> days{};
  for (std::size_t r = 0; r < LunarYearTable.size(); ++r) {
    const LunarYear& row = LunarYearTable[r];
    const std::int32_t year = kFirstLunarYear + static_cast<std::int32_t>(r);
    days[r].newYearDay =
        static_cast<std::int32_t>(DaysFromCivil(year, 1, 1) - kDelphiEpochDays) + row.newYearOffset;
    days[r].leapMonth = row.leapMonth;
    const std::size_t months = row.leapMonth == 0 ? 12 : 13;
    std::int32_t start = 0;
    for (std::size_t k = 0; k < days[r].monthStart.size(); ++k) {
      days[r].monthStart[k] = start;
      if (k < months) start += 29 + row.monthLong[k];
    }
  }
  // A last row holds only the new year that ends the table's last year.
  const LunarYearDays& last = days[LunarYearTable.size() - 1];
  days[LunarYearTable.size()].newYearDay = last.newYearDay + LunarYearLength(LunarYearTable.back());
  return days;
}
inline constexpr std::array<LunarYearDays, 152> LunarYearDaysTable = MakeLunarYearDays();

// How many months after the first have begun by day k of a year (k = 0 on new year's day):
// a month lasts 29 or 30 days, so k / 30 is that number or one less, and comparing k with the
// starts of the estimated month and the one after settles it.
constexpr std::int32_t MonthsBegunBy(const LunarYearDays& year, std::int32_t k) {
  const auto estimate = static_cast<std::int32_t>(static_cast<std::uint32_t>(k) / 30);  // k >= 0
  const auto e = static_cast<std::size_t>(estimate);
  return estimate - (k < year.monthStart[e] ? 1 : 0) + (k >= year.monthStart[e + 1] ? 1 : 0);
}

// MonthsBegunBy against a count of the month starts, for every day of every year of the table.
constexpr bool MonthsBegunByCountsEveryMonth() {
  for (std::size_t r = 0; r < LunarYearTable.size(); ++r) {
    const LunarYearDays& year = LunarYearDaysTable[r];
    for (std::int32_t k = 0; k < LunarYearLength(LunarYearTable[r]); ++k) {
      std::int32_t begun = 0;
      for (std::size_t m = 1; m <= 12; ++m) begun += year.monthStart[m] <= k ? 1 : 0;
      if (MonthsBegunBy(year, k) != begun) return false;
    }
  }
  return true;
}
static_assert(MonthsBegunByCountsEveryMonth());

// Day numbers of 1 January 1902 and 31 December 2051, the convertible days.
inline constexpr std::int64_t kFirstConvertibleDay = DaysFromCivil(1902, 1, 1) - kDelphiEpochDays;
inline constexpr std::int64_t kLastConvertibleDay = DaysFromCivil(2051, 12, 31) - kDelphiEpochDays;

// Converts a day number (whole days since 30 December 1899) into its lunar date, by arithmetic
// and compares instead of walking the months. Returns kLunarYearOutOfRange, leaving `out` alone,
// outside the convertible days.
inline std::int32_t LunarDateOfDay(std::int64_t dayNumber, LunarDate& out) {
  if (dayNumber < kFirstConvertibleDay || dayNumber > kLastConvertibleDay) {
    return kLunarYearOutOfRange;
  }
  // A lunar year averages 365.25 days to within a month, so the year estimated from the mean is
  // right or one off; one compare each way settles it, both against the estimate so that the
  // two table reads need not wait for each other.
  const auto fromFirst = static_cast<std::int32_t>(dayNumber - LunarYearDaysTable[0].newYearDay);
  const auto estimate =  // fromFirst >= 0 on the convertible days
      static_cast<std::int32_t>(static_cast<std::uint32_t>(fromFirst + 15) * 4 / 1461);
  const auto e = static_cast<std::size_t>(estimate);
  const std::int32_t r = estimate - (dayNumber < LunarYearDaysTable[e].newYearDay ? 1 : 0) +
                         (dayNumber >= LunarYearDaysTable[e + 1].newYearDay ? 1 : 0);
  const LunarYearDays& year = LunarYearDaysTable[static_cast<std::size_t>(r)];

  // The month in sequence: how many months after the first have begun by this day.
  const auto k = static_cast<std::int32_t>(dayNumber - year.newYearDay);
  const std::int32_t begun = MonthsBegunBy(year, k);
  const std::int32_t day = k - year.monthStart[static_cast<std::size_t>(begun)] + 1;

  // With a leap month after month L, the (L + 1)-th month in sequence is the leap month and
  // every later one is numbered one less than its place.
  // Whether a year has a leap month differs from one birth to the next, so the test is
  // arithmetic rather than a jump that would be mispredicted a third of the time.
  const std::int32_t sequential = begun + 1;
  const std::int32_t leap = year.leapMonth;
  const bool afterLeap = (leap != 0) & (sequential > leap);
  const std::int32_t number = sequential - (afterLeap ? 1 : 0);
  const std::int32_t month = afterLeap && number == leap ? -leap : number;
  out = {kFirstLunarYear + r, month, day};
  return kLunarOk;
}

// Converts a Gregorian date: checks year, month and day in that order, then converts its day
// number. Returns a LunarResult; `out` is written on success only.
std::int32_t GregorianToLunar(std::int32_t year, std::int32_t month, std::int32_t day,
                              LunarDate& out);

// Converts the calendar date of a moment, rounded to the nearest millisecond. A moment that
// cannot be decoded at all (not finite, or absurdly far away) gives kLunarYearOutOfRange.
std::int32_t LunarDateOf(TDateTime moment, LunarDate& out);

}  // namespace velmora
