/** A city of 15,000 people or more from the GeoNames table, as velmora-cli --places finds it. */
export interface Place {
  /** The city's name, "Ürümqi". */
  name: string;
  /** Its state, province or other region, "Xinjiang Uyghur Autonomous Region"; "" when the table gives none. */
  region: string;
  /** Its country, "China". */
  country: string;
  /** The country's ISO 3166 two-letter code, "CN". */
  countryCode: string;
  /** The time zone its clocks keep, a name of the time zone database, "Asia/Urumqi": a birth's `zone`. */
  zone: string;
  /** Degrees north, south negative. */
  latitude: number;
  /** Degrees east, west negative: a birth's `longitude`. */
  longitude: number;
  population: number;
  /**
   * The city as a person would write it, as velmora-cli prints it: "Ürümqi, Xinjiang Uyghur
   * Autonomous Region, China", the region left out when it only repeats the name.
   */
  label: string;
}

/**
 * The cities `query` names, most populous first, the same cities in the same order as
 * velmora-cli --places QUERY: a city's name, or the start of its words, letter case and accents
 * not mattering ("sao paulo" finds São Paulo), then optionally, after commas, its region and its
 * country, by name or two-letter code ("Springfield, Illinois", "London, Canada", "Sydney, CA"),
 * or a state's, province's or territory's usual abbreviation in the United States, Canada and
 * Australia ("Paris, TX", "Perth, WA").
 * At most `limit` cities, a whole number, 0 or more; every match when it is left out.
 *
 * A query that names no city gives an empty array. A query that is not a string throws a
 * TypeError, a limit that is not a whole number of 0 or more a RangeError.
 */
export function findPlaces(query: string, limit?: number | null | undefined): Place[];
