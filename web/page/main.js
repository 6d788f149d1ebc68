// The page's Run: the birth from the two fields, and the birth place when one is asked for, the
// board drawn as inline SVG beside the coloured reading, the sentence saying which moment a
// corrected birth was cast from, and the three downloads of what was drawn. Everything is
// computed here. The birth cast is kept in the address's fragment, which never reaches a server:
// a link opens its chart, and Back and Forward step through the charts cast.
//
// The build bundles this module and those it imports into the one classic script the page loads,
// page.js, so that the page still opens from a folder.

import { hideStars, layCells, motion, palaceBlocks } from "./board.js";
import { cityList, kNoCities, loadPlaces } from "./cities.js";
import { offerDownloads } from "./downloads.js";
import { formFields } from "./fields.js";
import { cityOfLink, fragmentOf, linkCityPhrase, readFragment } from "./links.js";
import { offerOffline } from "./offline.js";
import { asField } from "./words.js";
import { kNoZones, namesZone, zoneTable } from "./zones.js";

const $ = (id) => document.getElementById(id);
const form = $("birth");
const board = $("board");
const cells = $("board-cells");
const reading = $("reading");
const message = $("message");
const status = $("status");
const heading = $("heading");
const correction = $("correction");
const buttons = [$("copy-link"), $("save-svg"), $("save-png"), $("save-html")];
const startingHeading = heading.textContent;
const startingTitle = document.title;
const startingReading = reading.innerHTML;

const fields = formFields(document);
const { field, refuse, clearRefusal } = fields;
const cities = cityList({ fields, status });

let velmora = null; // the package's functions, once the module has loaded
let cast = null; // the birth last cast, with its texts, for the downloads

// Inside the page the board is an element, not a document: its XML declaration goes.
const inlineSvg = (svg) => (svg.startsWith("<?xml") ? svg.slice(svg.indexOf("\n") + 1) : svg);
const twoDigits = (n) => String(n).padStart(2, "0");

// ---- The reading ----

// The reading's colours and its preformatted text become classes, each rule made once in a
// style sheet of the page's own: its Content-Security-Policy refuses style attributes in
// markup. Each palace's lines, from its "Place:" to the next, go into a block of their own.
let readingSheet = null; // made with the first reading, not while the page opens
const readingClasses = new Map();
function classOf(style) {
  let name = readingClasses.get(style);
  if (name === undefined) {
    if (readingSheet === null) {
      readingSheet = new CSSStyleSheet();
      document.adoptedStyleSheets = [...document.adoptedStyleSheets, readingSheet];
    }
    name = `r${readingClasses.size}`;
    readingSheet.insertRule(`#reading .${name} { ${style} }`, readingSheet.cssRules.length);
    readingClasses.set(style, name);
  }
  return name;
}
function placeReading(html) {
  const classed = html.replace(/(<(?:div|span)) style="([^"]*)"/g, (_, tag, style) => `${tag} class="${classOf(style)}"`);
  const parts = classed.split(/(?=<span class="[^"]*">Place:<\/span>)/);
  const last = parts.length - 1;
  const end = parts[last].lastIndexOf("</div>");
  if (last === 0 || end < 0) {
    reading.innerHTML = classed;
    return;
  }
  const blocks = parts.slice(1, last).concat(parts[last].slice(0, end));
  reading.innerHTML =
    parts[0] + blocks.map((block) => `<div class="palace" tabindex="-1">${block}</div>`).join("") + parts[last].slice(end);
}

const afterPaint = (act) => requestAnimationFrame(() => setTimeout(act));

// ---- The result ----

// Casts the birth and shows it; refuses it in words otherwise. Gives whether it was cast.
function show(birth, fromLink) {
  if (velmora === null) return unavailable();
  let svg, html, named, line, chart;
  try {
    svg = velmora.boardSvg(birth);
    html = velmora.readingHtml(birth);
    named = velmora.birthHeading(birth);
    line = birth.solar === undefined && birth.zone === undefined && birth.longitude === undefined &&
      birth.place === undefined
      ? ""
      : velmora.correctionLine(birth);
    chart = velmora.castChart(birth);
  } catch (error) {
    // A refused birth changes nothing but the message.
    refuse(...fields.refusalOf(error, birth, fromLink));
    return false;
  }
  clearRefusal();
  board.innerHTML = inlineSvg(svg);
  board.setAttribute("aria-label", `The board of the chart for a birth on ${named}`);
  placeReading(html);
  cells.replaceChildren();
  hideStars();
  correction.textContent = line;
  correction.hidden = line === "";
  heading.textContent = `Velmora chart for a birth on ${named}`;
  document.title = `Velmora chart: ${named}`;
  status.textContent = `Chart cast for ${named}`;
  // Named as the window names its saves, the hour two digits wide: velmora-2000-02-04-0705.
  const [hour, minute] = birth.time.split(":");
  cast = { birth, svg, name: `velmora-${birth.date}-${hour.padStart(2, "0")}${minute}` };
  for (const button of buttons) button.disabled = false;
  // The cells over the board are laid once the chart is on screen: they change nothing the
  // eye sees.
  const shown = cast;
  afterPaint(() => shown === cast && layCells(chart, palaceBlocks()));
  return true;
}

// No birth: the bare board and the invitation to enter one, as the page opens.
function showNothing() {
  clearRefusal();
  if (velmora !== null) board.innerHTML = inlineSvg(velmora.bareBoardSvg());
  board.setAttribute("aria-label", "The chart's board: twelve palaces around an empty centre");
  cells.replaceChildren();
  cells.hidden = true;
  hideStars();
  reading.innerHTML = startingReading;
  correction.hidden = true;
  heading.textContent = startingHeading;
  document.title = startingTitle;
  cast = null;
  for (const button of buttons) button.disabled = true;
}

// Without the module nothing can be cast: one sentence where the result would be.
function unavailable() {
  const sentence = document.createElement("p");
  sentence.className = "unavailable";
  sentence.textContent =
    "This browser could not load Velmora's WebAssembly module, so no chart can be cast in this page.";
  reading.replaceChildren(sentence);
  status.textContent = sentence.textContent;
  return false;
}

// On a phone the result lies below the form: a Run brings it into view.
function bringResultIntoView() {
  if (!matchMedia("(max-width: 760px)").matches) return;
  const target = correction.hidden ? $("board-figure") : correction;
  if (target.getBoundingClientRect().top > 0.25 * innerHeight) {
    target.scrollIntoView({ block: "start", behavior: motion() });
  }
}

// ---- A Run, and the address ----

// A Run: the birth in the fields, refused in the page's words before it reaches the package
// when a field is empty; cast, it goes into the address as a new history entry.
function run() {
  const typed = field.place.value.trim();
  if (typed !== "" && cities.chosen() === null && field.solar.value !== "") {
    return cities.cityOfTyped(typed).then((found) => found !== null && run());
  }
  const birth = fields.birthOfFields(cities.chosen());
  if (birth.date === "") {
    return refuse("date", `Enter the whole birth date, day, month and year, from ${asField(1901, 12, 31)} ` +
      `to ${asField(2051, 12, 31)}.`);
  }
  if (birth.time === "") {
    return refuse("time", "Enter the birth time in hours and minutes on the 24-hour clock, such as 23:00.");
  }
  return showWithZones(birth, false).then((shown) => {
    if (!shown) return;
    bringResultIntoView();
    // The address follows once the chart is on screen: a history entry costs the browser a few
    // milliseconds that the drawing need not wait for.
    const fragment = fragmentOf(birth);
    afterPaint(() => location.hash !== fragment && history.pushState(null, "", fragment));
  });
}

// Casts the birth as show does, once the zones are loaded when it names one: resolves to whether
// it was cast.
function showWithZones(birth, fromLink) {
  if (!namesZone(birth)) return Promise.resolve(show(birth, fromLink));
  return zones.load().then((loaded) => (loaded ? show(birth, fromLink) : (refuse("zone", kNoZones), false)));
}

// The chart the address names: on opening, and as Back and Forward or an edited address change
// the fragment. The fields show what the link gives, as far as it can be read, and the chart
// cast is the one a Run of those fields would cast.
function showAddress() {
  const given = readFragment(location.hash);
  if (given === null) return showNothing();
  const { values, problem } = given;
  fields.fillFields(values);
  cities.forget();
  if (problem !== null) return refuse(problem.key, problem.sentence);
  if (values.place === undefined || field.solar.value === "") return showWithZones(fields.birthOfLink(values, null), true);
  return loadPlaces().then((findPlaces) => {
    const found = findPlaces === null ? null : cityOfLink(findPlaces, values);
    if (found === null) return refuse("place", findPlaces === null ? kNoCities : linkCityPhrase(values));
    cities.showCity(found);
    return showWithZones(fields.birthOfLink(values, found), true);
  });
}

// The module loads once the page has been painted, so that the first paint waits for nothing
// but the page and its style; what is asked before it is ready waits for it.
const script = new Promise((resolve) => {
  requestAnimationFrame(() =>
    setTimeout(() => {
      const element = document.createElement("script");
      element.src = "velmora.js";
      element.onload = element.onerror = resolve;
      document.head.append(element);
    }),
  );
});
const loading = script.then(() => globalThis.velmoraReady).then(
  (api) => (velmora = api ?? null),
  () => null,
);
const whenLoaded = (act) =>
  velmora !== null ? act() : loading.then(() => (velmora === null ? unavailable() : act()));

// The form is never sent anywhere: a Run casts in the page.
form.addEventListener("submit", (event) => {
  event.preventDefault();
  whenLoaded(run);
});
// Enter runs from any field, the date field included.
form.addEventListener("keydown", (event) => {
  if (event.key === "Enter" && !event.isComposing && event.target.tagName === "INPUT") {
    event.preventDefault();
    whenLoaded(run);
  }
});
addEventListener("hashchange", () => whenLoaded(showAddress));

// The fields start at the link's birth, or at the present moment as the window's pickers do.
const opened = readFragment(location.hash);
if (opened !== null) {
  fields.fillFields(opened.values);
} else {
  const now = new Date();
  field.date.value = `${now.getFullYear()}-${twoDigits(now.getMonth() + 1)}-${twoDigits(now.getDate())}`;
  field.time.value = `${twoDigits(now.getHours())}:${twoDigits(now.getMinutes())}`;
}

const zones = zoneTable({ ready: loading, zoneField: field.zone, placeBox: $("place") });
offerOffline(loading);
offerDownloads({ shown: () => cast, velmora: () => velmora, status, message });

loading.then(() => {
  if (velmora === null) unavailable();
  else if (opened !== null) showAddress();
});
