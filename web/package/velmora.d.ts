/** A birth as the user gives it: local clock time, to the minute. */
export interface Birth {
  /** "YYYY-MM-DD", a real Gregorian date, for example "2000-02-04". */
  date: string;
  /** "HH:MM" on the 24-hour clock, "00:00" to "23:59". */
  time: string;
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
  date: string;
  time: string;
  facts: ChartFacts;
  lunarDate: LunarDate;
  bureau: number;
  lifeBranch: number;
  /** Branches 1 to 12 in order. */
  palaces: Palace[];
}

/**
 * Each function below throws a TypeError when the date or the time is not written as accepted,
 * and a RangeError for a birth outside 31 December 1901 23:00 to 31 December 2051 22:59; the
 * message is velmora-cli's for the same input, without its "velmora-cli: " prefix.
 */
export function castChart(birth: Birth): Chart;
/** The chart's JSON text, byte for byte as `velmora-cli --format json`. */
export function chartJson(birth: Birth): string;
/** The reading as an HTML fragment: one `<div>` of coloured `<span>` runs. */
export function readingHtml(birth: Birth): string;
/** The reading as plain text, as `velmora-cli --format text`. */
export function readingText(birth: Birth): string;
/** The board, a standalone 401 × 401 SVG document, as `velmora-cli --chart FILE.svg`. */
export function boardSvg(birth: Birth): string;
/** A standalone HTML page with a heading, the board and the reading, as `velmora-cli --format html`. */
export function htmlPage(birth: Birth): string;
/** "4 February 2000, 23:00": the birth written out, for a heading. */
export function birthHeading(birth: Birth): string;
/** The board without names, as shown before the first chart. */
export function bareBoardSvg(): string;
