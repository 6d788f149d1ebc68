/**
 * A birth as the user gives it: local clock time, to the minute, and optionally its birth place,
 * which corrects the clock time before the chart is cast (velmora-cli's --zone, --longitude,
 * --solar and --dst). A place field left out, undefined or null is not given; so is a zone of "".
 */
export interface Birth {
  /** "YYYY-MM-DD", a real Gregorian date, for example "2000-02-04". */
  date: string;
  /** "HH:MM" on the 24-hour clock, "00:00" to "23:59". */
  time: string;
  /**
   * The time zone the clock time was read in, a name Intl knows ("Asia/Shanghai"): the chart is
   * cast from standard time, the daylight saving time in force taken off.
   */
  zone?: string | null | undefined;
  /**
   * The birth place's longitude in degrees, east positive, -180 to 180: a number, or text as
   * velmora-cli's --longitude reads it ("87.6"). With it the chart is cast from local mean solar
   * time unless `solar` says otherwise. Needs `zone`.
   */
  longitude?: number | string | null | undefined;
  /** How far to correct: "standard" time, local "mean" or "apparent" solar time (these two need `longitude`), as velmora-cli's --solar. */
  solar?: "standard" | "mean" | "apparent" | null | undefined;
  /**
   * For a clock time the zone showed twice, when the clocks went back: whether daylight saving
   * time was in force, true or "on" for the first of the two, false or "off" for the second, as
   * velmora-cli's --dst.
   */
  dst?: boolean | "on" | "off" | null | undefined;
  /**
   * The city the birth place is taken from, as `findPlaces` of velmora/places gives it: the chart
   * is cast for its zone and longitude, from local mean solar time unless `solar` says otherwise,
   * as velmora-cli's --place, and the correction names it. Given instead of `zone` and
   * `longitude`, never with them.
   */
  place?: BirthCity | null | undefined;
}

/** A city as `findPlaces` of velmora/places gives it; the fields a birth's `place` reads. */
export interface BirthCity {
  name: string;
  region: string;
  country: string;
  countryCode: string;
  zone: string;
  latitude: number;
  longitude: number;
}

/** The city a corrected birth's place was taken from, as velmora-cli's JSON writes it. */
export interface CorrectionPlace {
  name: string;
  region: string;
  country: string;
  countryCode: string;
  /** Degrees north, to four decimal places. */
  latitude: number;
  /** Degrees east, to four decimal places. */
  longitude: number;
}

/** Each step from the clock time to the moment cast, as velmora-cli's JSON writes it. */
export interface Correction {
  zone: string;
  /** With a birth's `place` only. */
  place?: CorrectionPlace;
  /** The clock time as entered, "1988-07-15T09:30:00"; the other times are written the same way. */
  clockTime: string;
  utcOffsetMinutes: number;
  standardOffsetMinutes: number;
  daylightMinutes: number;
  standardTime: string;
  /** The four below with mean or apparent solar time only. */
  longitude?: number;
  /** The zone's standard meridian in degrees east. */
  meridian?: number;
  longitudeMinutes?: number;
  meanSolarTime?: string;
  /** The two below with apparent solar time only. */
  equationOfTimeMinutes?: number;
  apparentSolarTime?: string;
  solar: "standard" | "mean" | "apparent";
  /** The moment the chart was cast from. */
  cast: string;
}

/** The calendar facts the chart is computed from (the moment one hour after the birth). */
export interface ChartFacts {
  yearStem: number;
  yearBranch: number;
  yearStemCode: number;
  lunarMonth: number;
  lunarDay: number;
  hourBranch: number;
}

/** One palace: its branch, its stem code, and its displayable items with their names. */
export interface Palace {
  branch: number;
  stem: number;
  /** The palace name's code, then its stars' codes, in the order the chart placed them. */
  items: number[];
  /** The English names of `items`. */
  names: string[];
}

/** The lunar date the facts are read from; a leap month has `leap` true. */
export interface LunarDate {
  year: number;
  month: number;
  leap: boolean;
  day: number;
}

/** The chart as `velmora-cli --format json` prints it. */
export interface Chart {
  /** The version of this object's layout, 1. */
  format: number;
  /** The birth's date and clock time as given, before any correction. */
  date: string;
  time: string;
  /** With a birth place only. */
  correction?: Correction;
  facts: ChartFacts;
  lunarDate: LunarDate;
  bureau: number;
  lifeBranch: number;
  /** Branches 1 to 12 in order. */
  palaces: Palace[];
}

/** The field of a birth that a refusal concerns. */
export type BirthField = "date" | "time" | "zone" | "longitude" | "solar" | "dst" | "place";

/**
 * Why a birth was refused:
 * - `"type"` (TypeError): the field is not of a type the birth takes, or the birth is not an
 *   object with two strings;
 * - `"invalid"`: a date or time not written as accepted (TypeError), a longitude that is not one
 *   of -180 to 180, a `solar` or `dst` word other than those accepted (RangeError);
 * - `"unknown"` (RangeError): a zone the time zone database does not hold;
 * - `"missing"` (TypeError): the correction asked for lacks the zone or the longitude it needs;
 * - `"conflict"` (TypeError): a `place` together with a `zone` or a `longitude`;
 * - `"unsupported"` (RangeError, field `"date"`): the birth, or its corrected moment, lies outside
 *   31 December 1901 23:00 to 31 December 2051 22:59;
 * - `"skipped"` (RangeError, field `"time"`): a clock time the zone's clocks skipped;
 * - `"repeated"` (RangeError, field `"dst"`): a clock time the zone's clocks showed twice,
 *   without `dst` to say which.
 */
export type RefusalCode =
  | "type" | "invalid" | "unknown" | "missing" | "conflict" | "unsupported" | "skipped" | "repeated";

/**
 * What every TypeError and RangeError the functions below throw for a birth carries beside its
 * message, for a program to act on: `error instanceof TypeError && error.field === "time"`.
 */
export interface BirthRefusal {
  /** The field of the birth the refusal concerns. */
  field: BirthField;
  /** Why, as above. */
  code: RefusalCode;
  /**
   * What is wrong and what is accepted, without the field's name, the text it quotes or the
   * birth it names, and without a full stop, so that a sentence may go on after it: "there is
   * no hour 25; hours run from 00 to 23". For `"repeated"` it ends at the clocks' change,
   * before the message's hint of how to say which.
   */
  reason: string;
}

/**
 * Each function below throws a TypeError when the date or the time is not written as accepted,
 * and a RangeError for a birth outside 31 December 1901 23:00 to 31 December 2051 22:59; the
 * message is velmora-cli's for the same input, without its "velmora-cli: " prefix.
 *
 * With a birth place: a TypeError for a field of the wrong type or a correction that lacks what
 * it needs (a longitude without a zone, solar time without a longitude); a RangeError for a zone
 * the time zone database does not hold, a longitude outside -180 to 180, a solar word other than the three, a clock
 * time the zone's clocks skipped, or showed twice without `dst`, and a corrected moment outside
 * the supported range. Each error also carries the properties of `BirthRefusal`.
 */
export function castChart(birth: Birth): Chart;
/** The chart's JSON text, byte for byte as `velmora-cli --format json`. */
export function chartJson(birth: Birth): string;
/** The reading as an HTML fragment: one `<div>` of coloured `<span>` runs. */
export function readingHtml(birth: Birth): string;
/** The reading as plain text, as `velmora-cli --format text`: with a birth place, after the correction's sentence. */
export function readingText(birth: Birth): string;
/** The board, a standalone 401 × 401 SVG document, as `velmora-cli --chart FILE.svg`. */
export function boardSvg(birth: Birth): string;
/** A standalone HTML page with a heading, the board and the reading, as `velmora-cli --format html`. */
export function htmlPage(birth: Birth): string;
/** "4 February 2000, 23:00": the birth written out, for a heading. */
export function birthHeading(birth: Birth): string;
/**
 * The sentence saying which moment the chart was cast from, the first line of `readingText`:
 * "Cast from standard time, 15 July 1988, 08:30: clock time 09:30 in Asia/Shanghai, less 1 h for
 * daylight saving time." Empty without a birth place.
 */
export function correctionLine(birth: Birth): string;
/** The board without names, as shown before the first chart. */
export function bareBoardSvg(): string;
/**
 * The time zones a birth place may name, as velmora-cli --zones lists them: the current names
 * ("Asia/Kolkata", "Europe/Kyiv"), sorted, or with `all` the old ones too ("Asia/Calcutta",
 * "US/Eastern"), which are taken as well. Reads the zone table on first use.
 */
export function zoneNames(all?: boolean): string[];
/** The version of the time zone database the zone table was written from, such as "2025b". */
export const zoneDatabase: string;

/** A palace or a star, as `describeItem` gives it. */
export interface ItemDescription {
  /** Its English name as the chart's names give it: "Greedy Wolf". */
  name: string;
  /** Its item code, as the chart's items give it: 44. */
  code: number;
  kind: "palace" | "main star" | "auxiliary star" | "minor star";
  /** The text the reading gives after its name. */
  description: string;
}
/**
 * The palace or star of that English name (letter case and spacing aside): its code, kind and
 * description as the reading gives it; null for a name that is none. Throws a TypeError for a
 * name that is not a string.
 */
export function describeItem(name: string): ItemDescription | null;
