// The page's Run: the birth from the two fields, and the birth place when one is asked for, the
// board drawn as inline SVG beside the coloured reading, the sentence saying which moment a
// corrected birth was cast from, and the three downloads of what was drawn. Everything is
// computed here. The birth cast is kept in the address's fragment, which never reaches a server:
// a link opens its chart, and Back and Forward step through the charts cast.
"use strict";

(async () => {
  const $ = (id) => document.getElementById(id);
  const form = $("birth");
  const dateField = $("birth-date");
  const timeField = $("birth-time");
  const board = $("board");
  const cells = $("board-cells");
  const starTip = $("star-tip");
  const reading = $("reading");
  const message = $("message");
  const status = $("status");
  const heading = $("heading");
  const copyButton = $("copy-link");
  const saveButtons = [$("save-svg"), $("save-png"), $("save-html")];
  const cityField = $("place-city");
  const cityList = $("city-list");
  const zoneField = $("place-zone");
  const longitudeField = $("place-longitude");
  const solarField = $("place-solar");
  const dstField = $("place-dst");
  const correction = $("correction");
  const fields = [dateField, timeField, cityField, zoneField, longitudeField, solarField, dstField];
  const startingHeading = heading.textContent;
  const startingTitle = document.title;
  const startingReading = reading.innerHTML;

  let velmora = null; // the package's functions, once the module has loaded
  let cast = null; // the birth last cast, with its texts, for the downloads

  // Inside the page the board is an element, not a document: its XML declaration goes.
  const inlineSvg = (svg) => (svg.startsWith("<?xml") ? svg.slice(svg.indexOf("\n") + 1) : svg);
  const twoDigits = (n) => String(n).padStart(2, "0");

  // ---- The page's own words for a refusal ----

  // A date as the date field shows it in this browser's language, 12/31/1901 in American English.
  let fieldDates = null; // made when first needed: a refusal is rare, and making it costs
  function asField(year, month, day) {
    fieldDates ??= new Intl.DateTimeFormat(navigator.language, {
      year: "numeric", month: "2-digit", day: "2-digit", timeZone: "UTC",
    });
    const moment = new Date(0);
    moment.setUTCFullYear(year, month - 1, day);
    return fieldDates.format(moment);
  }
  const kMonths = ["January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December"];
  // Every date of a sentence, "2021-03-14" or "14 March 2021", written as the field shows it.
  const datesAsField = (sentence) =>
    sentence
      .replace(/\b(\d{4})-(\d{2})-(\d{2})\b/g, (_, y, m, d) => asField(+y, +m, +d))
      .replace(new RegExp(`\\b(\\d{1,2}) (${kMonths.join("|")}) (\\d{4})\\b`, "g"), (_, d, m, y) =>
        asField(+y, kMonths.indexOf(m) + 1, +d));
  const capital = (sentence) => sentence.charAt(0).toUpperCase() + sentence.slice(1);

  // The package's refusal of a birth in the page's words, with the field it concerns: the page
  // names its fields where the package names its options. `fromLink` says the birth came from
  // the address, whose texts the fields may not be able to show.
  function refusalOf(error, fromLink) {
    const said = error.message;
    const link = fromLink ? "The link's " : "";
    let m;
    if ((m = /^--date "(.*)": (.*)$/s.exec(said))) {
      return [dateField, `${link || "The "}birth date "${m[1]}": ${m[2]}`];
    }
    if ((m = /^--time "(.*)": (.*)$/s.exec(said))) {
      return [timeField, `${capital(`${link}birth time`)} "${m[1]}": ${m[2]}`];
    }
    if ((m = /^(zone|longitude|solar|dst) (".*"|\S+): (.*)$/s.exec(said))) {
      const [, option, given, rest] = m;
      const [field, name] = {
        zone: [zoneField, "time zone"],
        longitude: [longitudeField, "longitude"],
        solar: [solarField, "solar time"],
        dst: [dstField, "daylight saving time"],
      }[option];
      return [field, `${capital(`${link}${name}`)} ${given}: ${rest}`];
    }
    if (/needs its time zone/.test(said)) return [zoneField, capital(said)];
    if (/needs the longitude/.test(said)) return [longitudeField, capital(said)];
    const sentence = capital(
      datesAsField(said).replace(
        /say whether daylight saving time was in force with .*$/s,
        'choose under "Hour shown twice" whether daylight saving time was in force.',
      ),
    );
    if (/came twice/.test(said)) return [dstField, sentence];
    if (/there was no/.test(said)) return [timeField, sentence];
    if (/lies outside/.test(said)) return [dateField, sentence];
    return [null, sentence];
  }

  function clearRefusal() {
    message.textContent = "";
    for (const field of fields) {
      field.removeAttribute("aria-invalid");
      field.removeAttribute("aria-errormessage");
    }
  }

  // Says what is wrong, marks the field it concerns and moves there.
  function refuse(field, sentence) {
    clearRefusal();
    message.textContent = sentence;
    if (field === null) return;
    field.setAttribute("aria-invalid", "true");
    field.setAttribute("aria-errormessage", "message");
    field.focus();
  }

  // ---- The birth, from the fields and in the address ----

  // Typing a zone asks for standard time, and a city or a longitude for mean solar time, unless
  // a further correction is chosen already; emptying every place field again puts back the
  // correction chosen in its list before.
  const level = ["", "standard", "mean", "apparent"];
  const atLeast = (solar) => {
    if (level.indexOf(solarField.value) < level.indexOf(solar)) solarField.value = solar;
  };
  let solarChosen = solarField.value; // the correction last chosen in its list
  solarField.addEventListener("change", () => (solarChosen = solarField.value));
  function placeTyped(field, solar) {
    if (field.value.trim()) return atLeast(solar);
    if ([cityField, zoneField, longitudeField].every((f) => f.value.trim() === "")) solarField.value = solarChosen;
  }
  zoneField.addEventListener("input", () => {
    forgetCity();
    placeTyped(zoneField, "standard");
  });
  longitudeField.addEventListener("input", () => {
    forgetCity();
    placeTyped(longitudeField, "mean");
  });

  // ---- The birth place by city name ----

  let city = null; // the city chosen, while the zone and longitude fields hold its own
  const kCitiesListed = 8;
  const kNoCities = "The list of cities could not be loaded: give the birth place's time zone and longitude instead.";
  const cityPhrase = (typed) =>
    `No city of 15,000 people or more is called "${typed}": give a city's name, then its region or ` +
    'country when several share it, such as Urumqi, "Springfield, Illinois" or "London, Canada".';

  // The city finder, loaded when the city field is first used, not while the page opens:
  // resolves to its findPlaces, or to null when it could not be loaded (tried again next time).
  let placesLoading = null;
  function loadPlaces() {
    placesLoading ??= new Promise((resolve) => {
      const element = document.createElement("script");
      element.src = "places.js";
      element.onload = () => {
        const finder = globalThis.velmoraPlaces?.findPlaces ?? null;
        finder?.("", 0); // unpacks the table now rather than at the first letter typed
        resolve(finder);
        // The worker keeps it for use offline, even when it was fetched before the worker ran.
        navigator.serviceWorker?.ready.then((registration) => registration.active?.postMessage({ keep: "places.js" }));
      };
      element.onerror = () => {
        element.remove();
        placesLoading = null;
        resolve(null);
      };
      document.head.append(element);
    });
    return placesLoading;
  }

  // A longitude as velmora-cli writes it, to four places: 87.6005°E, 0.1257°W.
  const degrees = (longitude) => `${Number(Math.abs(longitude).toFixed(4))}°${longitude < 0 ? "W" : "E"}`;

  let listed = []; // the cities the list offers
  let active = -1; // the one of them marked for Enter, or -1
  // The list for `query`: its cities, or while they load (`places` null) a line saying so.
  function listCities(places, query) {
    listed = places ?? [];
    mark(-1);
    if (query.trim() === "") return closeCities();
    const items = listed.map((place, i) => {
      const item = document.createElement("li");
      item.id = `city-${i}`;
      item.setAttribute("role", "option");
      item.setAttribute("aria-selected", "false");
      const zone = document.createElement("span");
      zone.className = "zone";
      zone.textContent = `${place.zone}, ${degrees(place.longitude)}`;
      item.append(place.label, " ", zone);
      item.setAttribute("aria-label", `${place.label}, ${place.zone}, ${degrees(place.longitude)}`);
      // The press keeps the focus in the field, so that the list stays open; the click chooses,
      // which a finger scrolling the list or a right click never makes.
      item.addEventListener("mousedown", (event) => event.preventDefault());
      item.addEventListener("click", () => takeCity(place));
      item.addEventListener("pointerenter", () => mark(i));
      return item;
    });
    if (items.length === 0) {
      const none = document.createElement("li");
      none.setAttribute("role", "option");
      none.setAttribute("aria-disabled", "true");
      none.setAttribute("aria-selected", "false");
      none.textContent = places === null ? "Loading the cities…" : "No city of 15,000 people or more by that name";
      items.push(none);
    }
    cityList.replaceChildren(...items);
    cityList.hidden = false;
    cityField.setAttribute("aria-expanded", "true");
    if (places === null) return;
    status.textContent =
      places.length === 0 ? "No city matches" : `${places.length} ${places.length === 1 ? "city" : "cities"} listed`;
  }
  function closeCities() {
    cityList.hidden = true;
    cityList.replaceChildren();
    cityField.setAttribute("aria-expanded", "false");
    cityField.removeAttribute("aria-activedescendant");
    listed = [];
    active = -1;
  }
  function mark(index) {
    cityList.children[active]?.setAttribute("aria-selected", "false");
    active = index;
    const item = cityList.children[index];
    if (item === undefined) return cityField.removeAttribute("aria-activedescendant");
    item.setAttribute("aria-selected", "true");
    item.scrollIntoView({ block: "nearest" });
    cityField.setAttribute("aria-activedescendant", item.id);
  }

  // The cities that match what the field holds, as it is typed.
  let placesLoaded = false;
  function searchCities() {
    const query = cityField.value;
    if (!placesLoaded && query.trim() !== "") listCities(null, query);
    loadPlaces().then((findPlaces) => {
      placesLoaded = findPlaces !== null;
      if (cityField.value !== query || document.activeElement !== cityField) return;
      if (findPlaces === null) {
        closeCities();
        return refuse(cityField, kNoCities);
      }
      listCities(findPlaces(query, kCitiesListed), query);
    });
  }

  // A city chosen: its zone and longitude go into their fields, where they can still be changed,
  // and the clock time is corrected to local mean solar time unless more is asked already.
  function takeCity(place) {
    city = place;
    cityField.value = place.label;
    zoneField.value = place.zone;
    longitudeField.value = String(place.longitude);
    atLeast("mean");
    closeCities();
    if (cityField.getAttribute("aria-invalid") === "true") clearRefusal();
    status.textContent = `Birth place ${place.label}, ${place.zone}, ${degrees(place.longitude)}`;
  }
  // A zone or longitude typed over the city's: the city named no longer applies.
  function forgetCity() {
    if (city === null) return;
    city = null;
    cityField.value = "";
  }

  cityField.addEventListener("focus", () => loadPlaces(), { once: true });
  cityField.addEventListener("input", () => {
    city = null;
    if (cityField.getAttribute("aria-invalid") === "true") clearRefusal();
    placeTyped(cityField, "mean");
    searchCities();
  });
  cityField.addEventListener("blur", closeCities);
  // Up and Down move through the list, Enter takes the city marked (or the first), Escape closes
  // the list; with the list closed, Enter runs as in any field and Down opens it.
  cityField.addEventListener("keydown", (event) => {
    if (event.isComposing) return;
    if (cityList.hidden) {
      if (event.key === "ArrowDown" && cityField.value.trim() !== "") {
        event.preventDefault();
        searchCities();
      }
      return;
    }
    const count = listed.length;
    if (event.key === "ArrowDown" || event.key === "ArrowUp") {
      event.preventDefault();
      if (count > 0) mark(event.key === "ArrowDown" ? (active + 1) % count : (active - 1 + count) % count);
    } else if (event.key === "Enter" && count > 0) {
      event.preventDefault();
      event.stopPropagation();
      takeCity(listed[Math.max(active, 0)]);
    } else if (event.key === "Escape") {
      event.preventDefault();
      closeCities();
    }
  });

  // The city a typed name gives, the most populous of that name, as if chosen; null when there
  // is none, after saying so.
  function cityOfTyped(typed) {
    return loadPlaces().then((findPlaces) => {
      if (findPlaces === null) return refuse(cityField, kNoCities), null;
      const [found] = findPlaces(typed, 1);
      if (found === undefined) return refuse(cityField, cityPhrase(typed)), null;
      takeCity(found);
      return found;
    });
  }

  // The birth with the place fields the chosen correction reads; the clock time as entered
  // reads none of them.
  function birthOfFields() {
    const birth = { date: dateField.value, time: timeField.value.trim() };
    const solar = solarField.value;
    if (solar === "") return birth;
    birth.solar = solar;
    if (dstField.value !== "") birth.dst = dstField.value === "on";
    if (city !== null) {
      birth.place = city;
      return birth;
    }
    birth.zone = zoneField.value.trim();
    const longitude = longitudeField.value.trim();
    if (solar !== "standard" && longitude !== "") birth.longitude = longitude;
    return birth;
  }

  // What a link may say, in the order a link writes it.
  const kLinkKeys = ["date", "time", "place", "zone", "longitude", "solar", "dst"];
  // A value in the fragment, escaped only where it must be: zones keep their "/", times their
  // ":", cities their ",".
  const linkValue = (text) =>
    encodeURIComponent(text).replace(/%2F/g, "/").replace(/%3A/g, ":").replace(/%2C/g, ",");

  function fragmentOf(birth) {
    const given = { ...birth };
    if (typeof given.dst === "boolean") given.dst = given.dst ? "on" : "off";
    // A city goes with its zone and longitude, which tell apart cities of the same name.
    if (given.place !== undefined) {
      given.zone = given.place.zone;
      given.longitude = given.place.longitude;
      given.place = given.place.label;
    }
    return "#" + kLinkKeys
      .filter((key) => given[key] !== undefined && given[key] !== "")
      .map((key) => `${key}=${linkValue(String(given[key]))}`)
      .join("&");
  }

  // The birth a fragment gives, or the sentence saying why it gives none; null for no fragment.
  function birthOfFragment(fragment) {
    const text = fragment.replace(/^#/, "");
    if (text === "") return null;
    const birth = {};
    for (const part of text.split("&")) {
      if (part === "") continue;
      const at = part.indexOf("=");
      const key = at < 0 ? part : part.slice(0, at);
      let value;
      try {
        value = decodeURIComponent(at < 0 ? "" : part.slice(at + 1));
      } catch {
        return { birth, problem: [null, `The link's ${key} cannot be read: its % escapes are broken.`] };
      }
      if (!kLinkKeys.includes(key)) {
        return {
          birth,
          problem: [null, `The link's "${key}" is not something the page reads: a link gives date and time ` +
            "(such as #date=2000-02-04&time=23:00) and, for a birth place, place, zone, longitude, solar and dst."],
        };
      }
      birth[key] ??= value;
    }
    if (birth.place === "") delete birth.place;
    for (const [key, field, example] of [["date", dateField, "date=2000-02-04"], ["time", timeField, "time=23:00"]]) {
      if (birth[key] === undefined) {
        return { birth, problem: [field, `The link gives no birth ${key}: it needs one such as ${example}.`] };
      }
    }
    return { birth, problem: null };
  }

  // Whether the date field can show a date: a real day of the Gregorian calendar, YYYY-MM-DD.
  function fieldCanHold(date) {
    const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(date);
    if (m === null) return false;
    const day = new Date(0);
    day.setUTCFullYear(+m[1], +m[2] - 1, +m[3]);
    return day.getUTCMonth() === +m[2] - 1 && day.getUTCDate() === +m[3];
  }

  // The fields show the birth a link gives, as far as they can hold it.
  function fillFields(birth) {
    dateField.value = fieldCanHold(birth.date ?? "") ? birth.date : "";
    timeField.value = birth.time ?? "";
    city = null;
    cityField.value = birth.place ?? "";
    zoneField.value = birth.zone ?? "";
    longitudeField.value = birth.longitude ?? "";
    const place = birth.zone !== undefined || birth.longitude !== undefined;
    const solar = birth.place !== undefined || birth.longitude !== undefined ? "mean" : place ? "standard" : "";
    choose(solarField, birth.solar ?? solar);
    choose(dstField, birth.dst ?? "");
  }
  // A list shows a value it offers, and its first choice for any other.
  function choose(list, value) {
    list.value = value;
    if (list.selectedIndex < 0) list.selectedIndex = 0;
  }

  // ---- The result ----

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

  // The reading's blocks by palace name.
  function palaceBlocks() {
    const blocks = new Map();
    for (const block of reading.querySelectorAll(".palace")) {
      blocks.set(block.children[1].textContent.split("\n")[0], block);
    }
    return blocks;
  }

  // Each star's description by star name, as the reading gives it after the star's name.
  function starDescriptions() {
    const descriptions = new Map();
    for (const block of reading.querySelectorAll(".palace")) {
      const lines = block.children;
      for (let i = 4; i + 1 < lines.length; i += 2) {
        descriptions.set(lines[i].textContent.slice(0, -1), lines[i + 1].textContent.trim());
      }
    }
    return descriptions;
  }

  // The board's twelve cells as buttons over the drawing, found from the drawing itself: the
  // bold name in each cell is its palace, the lines under it its stars, each text on a white
  // box drawn just before it. The whole list of each palace's stars comes from the chart.
  function layCells(chart, blocks) {
    let known = null;
    const descriptions = () => (known ??= starDescriptions());
    const found = new Map();
    for (const text of board.querySelectorAll("svg text")) {
      const x = Number(text.getAttribute("x"));
      const y = Number(text.getAttribute("y"));
      const column = Math.floor(x / 100);
      const row = Math.floor((y - 1) / 100);
      const key = row * 4 + column;
      if (!found.has(key)) found.set(key, { column, row, palace: null, lines: [] });
      const cell = found.get(key);
      const box = text.previousElementSibling?.tagName === "rect" ? text.previousElementSibling : null;
      if (text.getAttribute("font-weight") === "bold") {
        cell.palace = text.textContent;
      } else if (box !== null) {
        cell.lines.push({
          name: text.textContent,
          x: Number(box.getAttribute("x")) - column * 100,
          y: Number(box.getAttribute("y")) - row * 100,
          width: Number(box.getAttribute("width")),
          height: Number(box.getAttribute("height")),
        });
      }
    }
    const palaces = new Map(chart.palaces.map((palace) => [palace.names[0], palace]));
    const share = (units, of) => `${(units * 100) / of}%`;
    const buttons = [];
    for (const cell of [...found.values()].sort((a, b) => a.row * 4 + a.column - (b.row * 4 + b.column))) {
      const palace = palaces.get(cell.palace);
      if (palace === undefined) continue;
      const stars = palace.names.slice(1);
      const button = document.createElement("button");
      button.type = "button";
      button.style.left = share(cell.column * 100, 401);
      button.style.top = share(cell.row * 100, 401);
      button.setAttribute(
        "aria-label",
        `${cell.palace} palace: ${stars.length === 0 ? "no stars" : stars.join(", ")}`,
      );
      for (const line of cell.lines) {
        const star = document.createElement("span");
        star.className = "star";
        star.dataset.star = line.name;
        star.style.left = share(line.x, 101);
        star.style.top = share(line.y, 101);
        star.style.width = share(line.width, 101);
        star.style.height = share(line.height, 101);
        button.append(star);
      }
      const block = blocks.get(cell.palace);
      button.addEventListener("click", () => showPalace(block));
      button.addEventListener("focus", () => showStars(stars, descriptions, cell.row));
      button.addEventListener("blur", hideStars);
      button.addEventListener("pointerover", (event) => {
        const name = event.target.dataset?.star;
        if (name !== undefined) showStars([name], descriptions, cell.row);
      });
      buttons.push(button);
    }
    cells.replaceChildren(...buttons);
    cells.hidden = buttons.length === 0;
  }

  // Star descriptions beside the board, in the half of it away from the cell they are for.
  function showStars(names, descriptionsOf, row) {
    const descriptions = descriptionsOf();
    const lines = names.filter((name) => descriptions.has(name)).map((name) => {
      const line = document.createElement("p");
      const title = document.createElement("b");
      title.textContent = `${name}: `;
      line.append(title, descriptions.get(name));
      return line;
    });
    if (lines.length === 0) return hideStars();
    starTip.replaceChildren(...lines);
    starTip.className = row <= 1 ? "below" : "above";
    starTip.hidden = false;
  }
  function hideStars() {
    starTip.hidden = true;
  }
  $("board-frame").addEventListener("pointerleave", () => {
    if (!cells.contains(document.activeElement)) hideStars();
  });
  document.addEventListener("keydown", (event) => event.key === "Escape" && hideStars());

  // Takes the reader to a palace's block in the reading and marks it.
  function showPalace(block) {
    if (block === undefined) return;
    for (const shown of reading.querySelectorAll(".palace.shown")) shown.classList.remove("shown");
    block.classList.add("shown");
    block.scrollIntoView({ block: "nearest", behavior: motion() });
    block.focus({ preventScroll: true });
  }
  const afterPaint = (act) => requestAnimationFrame(() => setTimeout(act));
  const motion = () => (matchMedia("(prefers-reduced-motion: reduce)").matches ? "auto" : "smooth");

  // The history of every time zone, loaded when the birth place is first used or a birth first
  // names a zone, so that a chart without a birth place never waits for it: resolves to whether
  // it is loaded (tried again next time when it could not be).
  const kNoZones = "The time zones could not be loaded: cast from the clock time as entered, or try again.";
  let zonesLoading = null;
  function loadZones() {
    zonesLoading ??= loading
      .then(() => (velmora === null ? Promise.reject() : globalThis.velmoraLoadZones()))
      .then(
        () => {
          // The worker keeps them for use offline, even when fetched before the worker ran.
          navigator.serviceWorker?.ready.then((registration) => registration.active?.postMessage({ keep: "zones.bin" }));
          return true;
        },
        () => {
          zonesLoading = null;
          return false;
        },
      );
    return zonesLoading;
  }
  const namesZone = (birth) => (birth.zone ?? "") !== "" || birth.place !== undefined;

  // Casts the birth as show does, once the zones are loaded when it names one: resolves to
  // whether it was cast.
  function showWithZones(birth, fromLink) {
    if (!namesZone(birth)) return Promise.resolve(show(birth, fromLink));
    return loadZones().then((loaded) => (loaded ? show(birth, fromLink) : (refuse(zoneField, kNoZones), false)));
  }

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
      refuse(...refusalOf(error, fromLink));
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
    for (const button of [copyButton, ...saveButtons]) button.disabled = false;
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
    for (const button of [copyButton, ...saveButtons]) button.disabled = true;
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

  // A Run: the birth in the fields, refused in the page's words before it reaches the package
  // when a field is empty; cast, it goes into the address as a new history entry.
  function run() {
    const typed = cityField.value.trim();
    if (typed !== "" && city === null && solarField.value !== "") {
      return cityOfTyped(typed).then((found) => found !== null && run());
    }
    const birth = birthOfFields();
    if (birth.date === "") {
      return refuse(dateField, `Enter the whole birth date, day, month and year, from ${asField(1901, 12, 31)} ` +
        `to ${asField(2051, 12, 31)}.`);
    }
    if (birth.time === "") {
      return refuse(timeField, "Enter the birth time in hours and minutes on the 24-hour clock, such as 23:00.");
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

  // The chart the address names: on opening, and as Back and Forward or an edited address
  // change the fragment.
  function showAddress() {
    const given = birthOfFragment(location.hash);
    if (given === null) return showNothing();
    fillFields(given.birth);
    if (given.problem !== null) return refuse(...given.problem);
    if (given.birth.place === undefined) return showWithZones(given.birth, true);
    return loadPlaces().then((findPlaces) => {
      const found = findPlaces === null ? null : cityOfLink(findPlaces, given.birth);
      if (found === null) return refuse(cityField, findPlaces === null ? kNoCities : linkCityPhrase(given.birth));
      const { zone, longitude, place, ...birth } = given.birth;
      city = found;
      cityField.value = found.label;
      zoneField.value = found.zone;
      longitudeField.value = String(found.longitude);
      return showWithZones({ ...birth, place: found }, true);
    });
  }

  // The city a link names: of the cities its name finds, the one in its zone at its longitude
  // when it gives them, its own label first; the most populous otherwise.
  function cityOfLink(findPlaces, birth) {
    const found = findPlaces(birth.place).filter(
      (place) =>
        (birth.zone === undefined || place.zone === birth.zone) &&
        (birth.longitude === undefined || place.longitude === Number(birth.longitude)),
    );
    return found.find((place) => place.label === birth.place) ?? found[0] ?? null;
  }
  const linkCityPhrase = (birth) =>
    `The link's city "${birth.place}" is not a city of 15,000 people or more that the page knows` +
    `${birth.zone === undefined ? "" : ` in ${birth.zone}`}` +
    `${birth.longitude === undefined ? "" : ` at longitude ${birth.longitude}`}.`;

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
  const opened = birthOfFragment(location.hash);
  if (opened !== null) {
    fillFields(opened.birth);
  } else {
    const now = new Date();
    dateField.value = `${now.getFullYear()}-${twoDigits(now.getMonth() + 1)}-${twoDigits(now.getDate())}`;
    timeField.value = `${twoDigits(now.getHours())}:${twoDigits(now.getMinutes())}`;
  }

  // The zones to pick from as the zone's name is typed, velmora-cli's current names (the old
  // ones are taken too): listed when the field is first reached, not while the page opens.
  zoneField.addEventListener(
    "focus",
    () =>
      loadZones().then((loaded) => {
        if (loaded) $("zone-names").append(...velmora.zoneNames().map((name) => new Option("", name)));
      }),
    { once: true },
  );
  // The zone table starts loading as soon as the birth place is first used.
  $("place").addEventListener("focusin", () => loadZones(), { once: true });

  // Served, the page can be installed and keeps its files for use offline; opened from a folder
  // it has neither, and works as it is. Both wait until the page has loaded and its module is
  // ready, so that they take nothing from its start.
  if (location.protocol === "http:" || location.protocol === "https:") {
    const loaded = new Promise((resolve) =>
      document.readyState === "complete" ? resolve() : addEventListener("load", resolve, { once: true }),
    );
    Promise.all([loaded, loading]).then(() => {
      const manifest = document.createElement("link");
      manifest.rel = "manifest";
      manifest.href = "manifest.webmanifest";
      document.head.append(manifest);
      // Without the worker the page works the same, only not offline.
      navigator.serviceWorker?.register("sw.js").catch(() => {});
    });
  }

  function download(blob, fileName) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = fileName;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  // The address of the chart shown, to the clipboard; where the browser keeps the clipboard from
  // the page, the address is selected in a field for copying by hand.
  copyButton.addEventListener("click", async () => {
    const address = new URL(fragmentOf(cast.birth), location.href).href;
    try {
      await navigator.clipboard.writeText(address);
      status.textContent = "Link to this chart copied";
      copyButton.textContent = "Link copied";
      setTimeout(() => (copyButton.textContent = "Copy link"), 2000);
    } catch {
      message.textContent = `This browser keeps the page from the clipboard: copy the link from the address bar.`;
    }
  });

  $("save-svg").addEventListener("click", () => {
    download(new Blob([cast.svg], { type: "image/svg+xml" }), `${cast.name}.svg`);
  });
  $("save-html").addEventListener("click", () => {
    download(new Blob([velmora.htmlPage(cast.birth)], { type: "text/html" }), `${cast.name}.html`);
  });
  // The PNG is the SVG drawn at its own size, 401 × 401 pixels, on a canvas.
  $("save-png").addEventListener("click", () => {
    const { svg, name } = cast;
    const url = URL.createObjectURL(new Blob([svg], { type: "image/svg+xml" }));
    const image = new Image();
    image.onload = () => {
      const canvas = document.createElement("canvas");
      canvas.width = image.naturalWidth || 401;
      canvas.height = image.naturalHeight || 401;
      canvas.getContext("2d").drawImage(image, 0, 0);
      URL.revokeObjectURL(url);
      canvas.toBlob((png) => download(png, `${name}.png`), "image/png");
    };
    image.onerror = () => {
      URL.revokeObjectURL(url);
      message.textContent = "The board could not be drawn as a PNG picture in this browser.";
    };
    image.src = url;
  });

  await loading;
  if (velmora === null) unavailable();
  else if (opened !== null) showAddress();
})();
