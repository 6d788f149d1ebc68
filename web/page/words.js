// The page's own words: a text the user gave, quoted as velmora-cli quotes it, and dates as the
// date field shows them.

// The most characters of a text given that a sentence repeats, as velmora-cli cuts it.
const kMaxEcho = 120;

// Characters that would break a line of text or hide in it: control, format and separators.
const kUnprintable = /[\p{Cc}\p{Cf}\p{Zl}\p{Zp}]/gu;

// A text as a sentence quotes it: its first kMaxEcho UTF-16 units, "..." after them when there
// are more, each unprintable character as "?", so that a sentence stays short and reads as written.
export function quoted(text) {
  const shown = text.length > kMaxEcho ? `${text.slice(0, kMaxEcho)}...` : text;
  return `"${shown.replace(kUnprintable, "?")}"`;
}

export const capital = (sentence) => sentence.charAt(0).toUpperCase() + sentence.slice(1);

// A date as the date field shows it in this browser's language, 12/31/1901 in American English.
let fieldDates = null; // made when first needed: a refusal is rare, and making it costs
export function asField(year, month, day) {
  fieldDates ??= new Intl.DateTimeFormat(navigator.language, {
    year: "numeric", month: "2-digit", day: "2-digit", timeZone: "UTC",
  });
  const moment = new Date(0);
  moment.setUTCFullYear(year, month - 1, day);
  return fieldDates.format(moment);
}
