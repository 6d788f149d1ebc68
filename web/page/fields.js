// The form's fields and refusals: the birth the fields hold, the fields filled from a link, and a
// refused birth said in the page's own words beside the field it concerns. The page names its
// fields where the package names its options; which field a refusal concerns, and why, come from
// the package's error itself.

import { asField, capital, quoted } from "./words.js";

// The page's name for each field of a birth, as a refusal names it.
const kFieldNames = {
  date: "birth date", time: "birth time", zone: "time zone", longitude: "longitude", solar: "solar time",
  dst: "daylight saving time", place: "city",
};

export function formFields(document) {
  const $ = (id) => document.getElementById(id);
  const field = {
    date: $("birth-date"), time: $("birth-time"), place: $("place-city"), zone: $("place-zone"),
    longitude: $("place-longitude"), solar: $("place-solar"), dst: $("place-dst"),
  };
  const message = $("message");
  const all = Object.values(field);

  function clearRefusal() {
    message.textContent = "";
    for (const each of all) {
      each.removeAttribute("aria-invalid");
      each.removeAttribute("aria-errormessage");
    }
  }

  // Says what is wrong, marks the field it concerns (a key of a birth, or null) and moves there.
  function refuse(key, sentence) {
    clearRefusal();
    message.textContent = sentence;
    const concerned = key === null ? undefined : field[key];
    if (concerned === undefined) return;
    concerned.setAttribute("aria-invalid", "true");
    concerned.setAttribute("aria-errormessage", "message");
    concerned.focus();
  }

  // The package's refusal of `birth` in the page's words, with the key of the field it concerns.
  // `fromLink` says the birth came from the address, whose texts the fields may not show.
  function refusalOf(error, birth, fromLink) {
    const key = typeof error.field === "string" && Object.hasOwn(kFieldNames, error.field) ? error.field : null;
    const reason = typeof error.reason === "string" ? error.reason : "";
    const named = capital(`${fromLink ? "the link's " : ""}${kFieldNames[key] ?? ""}`);
    switch (error.code) {
      case "invalid":
      case "unknown":
        return [key, `${named} ${quoted(String(birth[key]))}: ${reason}.`];
      case "missing":
      case "unsupported":
      case "skipped":
        return [key, `${capital(reason)}.`];
      case "repeated":
        return [key, `${capital(reason)}; choose under "Hour shown twice" whether daylight saving time was in force.`];
      default:
        return [key, capital(String(error.message ?? error))];
    }
  }

  // Typing a zone asks for standard time, and a city or a longitude for mean solar time, unless
  // a further correction is chosen already; emptying every place field again puts back the
  // correction chosen in its list before.
  const level = ["", "standard", "mean", "apparent"];
  const atLeast = (solar) => {
    if (level.indexOf(field.solar.value) < level.indexOf(solar)) field.solar.value = solar;
  };
  let solarChosen = field.solar.value; // the correction last chosen in its list
  field.solar.addEventListener("change", () => (solarChosen = field.solar.value));
  function placeTyped(typed, solar) {
    if (typed.value.trim()) return atLeast(solar);
    if ([field.place, field.zone, field.longitude].every((f) => f.value.trim() === "")) field.solar.value = solarChosen;
  }

  // The birth with the place fields the chosen correction reads, `city` the one chosen (or
  // null); the clock time as entered reads none of them.
  function birthOfFields(city) {
    const birth = { date: field.date.value, time: field.time.value.trim() };
    const solar = field.solar.value;
    if (solar === "") return birth;
    birth.solar = solar;
    if (field.dst.value !== "") birth.dst = field.dst.value === "on";
    if (city !== null) {
      birth.place = city;
      return birth;
    }
    birth.zone = field.zone.value.trim();
    const longitude = field.longitude.value.trim();
    if (solar !== "standard" && longitude !== "") birth.longitude = longitude;
    return birth;
  }

  // The fields show the birth a link gives, as far as they can hold it, the correction the
  // place fields ask for chosen when the link says none.
  function fillFields(values) {
    field.date.value = fieldCanHold(values.date ?? "") ? values.date : "";
    field.time.value = values.time ?? "";
    field.place.value = values.place ?? "";
    field.zone.value = values.zone ?? "";
    field.longitude.value = values.longitude ?? "";
    const solar = values.place !== undefined || values.longitude !== undefined ? "mean"
      : values.zone !== undefined ? "standard" : "";
    choose(field.solar, values.solar ?? solar);
    choose(field.dst, values.dst ?? "");
  }

  // The birth a link casts: the one the fields now hold, so that a Run casts the same, but with
  // the link's own text where a field could not hold it, so that the refusal names it.
  function birthOfLink(values, city) {
    const birth = birthOfFields(city);
    if (values.date !== undefined && field.date.value !== values.date) birth.date = values.date;
    if (values.solar !== undefined && field.solar.value !== values.solar) birth.solar = values.solar;
    if (values.dst !== undefined && field.dst.value !== values.dst && birth.solar !== undefined) birth.dst = values.dst;
    return birth;
  }

  return { field, clearRefusal, refuse, refusalOf, atLeast, placeTyped, birthOfFields, fillFields, birthOfLink, asField };
}

// Whether the date field can show a date: a real day of the Gregorian calendar, YYYY-MM-DD.
function fieldCanHold(date) {
  const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(date);
  if (m === null) return false;
  const day = new Date(0);
  day.setUTCFullYear(+m[1], +m[2] - 1, +m[3]);
  return day.getUTCMonth() === +m[2] - 1 && day.getUTCDate() === +m[3];
}

// A list shows a value it offers, and its first choice for any other.
function choose(list, value) {
  list.value = value;
  if (list.selectedIndex < 0) list.selectedIndex = 0;
}
