// The public functions of the package, over an instantiated Velmora module. Each casts the birth
// it is given through velmora-cli's own checks and reads one output of velmora-cli back.

// The most characters of the user's text that a message repeats, as velmora-cli cuts it.
const kMaxEcho = 120;

// The most UTF-16 units of a date, time, zone or longitude handed to the module: more than any
// of them can hold, so that cutting a text there never changes the answer.
const kMaxText = 256;

// The most UTF-16 units of a city's name, region, country or code handed to the module: no fewer
// than the bytes it keeps of each.
const kMaxPlaceName = 120;

// Characters that would break a line of text or hide in it: control, format and separators.
const kUnprintable = /[\p{Cc}\p{Cf}\p{Zl}\p{Zp}]/u;
const kUnprintableEach = /[\p{Cc}\p{Cf}\p{Zl}\p{Zp}]/gu;

// The outcomes of a cast or of setting a birth place, as the module numbers them.
const kBadDate = 1;
const kBadTime = 2;
const kUnsupportedBirth = 3;
const kUnknownZone = 4;
const kBadLongitude = 5;
const kNeedsZone = 6;
const kSkippedTime = 7;
const kRepeatedTime = 8;
const kNeedsLongitude = 9;

// velmora-cli's words for whether daylight saving time was in force, which dst takes too.
const kDaylightWords = { on: true, off: false };

// The solar times a birth may be cast from, numbered as the module numbers them.
const kSolarTimes = { standard: 0, mean: 1, apparent: 2 };

// The functions over the module `wasm`. `zoneTable` gives the zone table's bytes when a birth
// first names a zone, or null while they are not at hand.
function velmoraApi(wasm, zoneTable) {
  const encoder = new TextEncoder();
  // The module's buffer for the birth's texts, each at most kMaxText UTF-16 units, so at most
  // three bytes a unit in UTF-8; two texts at a time.
  const input = wasm._malloc(2 * 3 * kMaxText);
  if (input === 0) throw new Error("the Velmora module has no memory for the birth's text.");
  let placeSet = false; // whether the module holds a birth place from the last cast
  let placeKey = null; // the fields of the birth place the module holds, joined, when it holds one

  // The zone table goes into the module when a birth first names a zone: a chart without a birth
  // place never pays for it.
  let zonesLoaded = false;
  function loadZones() {
    if (zonesLoaded) return;
    const bytes = zoneTable();
    if (bytes === null) {
      throw new Error("Velmora's time zones are not loaded yet: load them before naming a zone.");
    }
    const at = wasm._malloc(bytes.length);
    if (at === 0) throw new Error("the Velmora module has no memory for the time zones.");
    wasm.HEAPU8.set(bytes, at);
    const read = wasm._VelmoraLoadZones(at, bytes.length);
    wasm._free(at);
    if (read !== 1) throw new Error("Velmora's time zone table is damaged.");
    zonesLoaded = true;
  }

  // A user's text as a message shows it: cut after kMaxEcho UTF-16 units, in quotes.
  function quoted(text) {
    return '"' + (text.length > kMaxEcho ? text.slice(0, kMaxEcho) + "..." : text) + '"';
  }

  // Control, format and separator characters become "?", so that a message stays one line and
  // reads as written; velmora-cli does the same to each UTF-16 unit.
  function oneLine(message) {
    return message.replace(kUnprintableEach, (c) => (c.length === 1 ? "?" : c));
  }

  // A refusal as the package throws it: velmora-cli's words in its message, `subject: reason.`,
  // and what a program acts on in properties of its own: the birth's field it concerns, a code
  // saying why, and the reason alone, without the field's name and the text it quotes.
  function refusal(Kind, field, code, reason, subject = "") {
    const error = new Kind(oneLine(subject === "" ? `${reason}.` : `${subject}: ${reason}.`));
    error.field = field;
    error.code = code;
    error.reason = oneLine(reason);
    return error;
  }

  // The birth's fields, each read once and only from the object itself, never from its
  // prototype: what is read here is all a call works from, whatever a getter does later.
  const own = (object, key) => (Object.hasOwn(object, key) ? object[key] : undefined);
  function readBirth(given) {
    const birth =
      given !== null && typeof given === "object"
        ? {
            date: own(given, "date"),
            time: own(given, "time"),
            zone: own(given, "zone"),
            longitude: own(given, "longitude"),
            solar: own(given, "solar"),
            dst: own(given, "dst"),
            place: own(given, "place"),
          }
        : null;
    if (birth === null || typeof birth.date !== "string" || typeof birth.time !== "string") {
      throw refusal(
        TypeError,
        birth !== null && typeof birth.date === "string" ? "time" : "date",
        "type",
        'a birth is {date: "YYYY-MM-DD", time: "HH:MM"}, two strings (for example ' +
          '{date: "2000-02-04", time: "23:00"})',
      );
    }
    return birth;
  }

  // A text as the module is given it: no date, time, zone or longitude is longer than this, so
  // a longer text is refused all the same when cut here, and the module's buffer never grows.
  const clip = (text) => (text.length > kMaxText ? text.slice(0, kMaxText) : text);

  // A field of the birth place that is left out: undefined or null.
  const absent = (value) => value === undefined || value === null;

  // A city's fields, each read once from the object itself, or null when `city` is not one: its
  // names printable text, its latitude and longitude numbers on the globe.
  function readCity(city) {
    if (city === null || typeof city !== "object") return null;
    const fields = {};
    for (const key of ["name", "region", "country", "countryCode", "zone"]) {
      fields[key] = own(city, key);
      if (typeof fields[key] !== "string" || kUnprintable.test(fields[key])) return null;
    }
    for (const [key, limit] of [["latitude", 90], ["longitude", 180]]) {
      fields[key] = own(city, key);
      if (typeof fields[key] !== "number" || !(Math.abs(fields[key]) <= limit)) return null;
    }
    return fields;
  }

  // The birth place's fields checked for their types; throws a TypeError for a wrong one. A city
  // becomes its zone and longitude.
  function checkPlace(birth) {
    if (!absent(birth.place)) {
      const city = readCity(birth.place);
      if (city === null) {
        throw refusal(
          TypeError,
          "place",
          "type",
          "place is a city as findPlaces of velmora/places gives it, with its name, region, " +
            "country, countryCode and zone (strings of printable text) and its latitude and " +
            "longitude (numbers of degrees, -90 to 90 and -180 to 180)",
        );
      }
      if ((!absent(birth.zone) && birth.zone !== "") || !absent(birth.longitude)) {
        throw refusal(TypeError, "place", "conflict",
          "a birth names its place by place or by zone and longitude, not both");
      }
      birth.place = city;
      birth.zone = city.zone;
      birth.longitude = city.longitude;
    }
    const { zone: name, longitude, solar, dst } = birth;
    if (!absent(name) && typeof name !== "string") {
      throw refusal(TypeError, "zone", "type", 'zone is the name of a time zone, a string such as "Asia/Shanghai"');
    }
    if (!absent(longitude) && typeof longitude !== "number" && typeof longitude !== "string") {
      throw refusal(TypeError, "longitude", "type", "longitude is degrees east, a number or a string such as 87.6");
    }
    if (!absent(solar) && typeof solar !== "string") {
      throw refusal(TypeError, "solar", "type", 'solar is "standard", "mean" or "apparent"');
    }
    if (!absent(dst) && typeof dst !== "boolean" && typeof dst !== "string") {
      throw refusal(TypeError, "dst", "type",
        'dst is true or "on", false or "off": whether daylight saving time was in force');
    }
  }

  // Whether the birth names any part of a birth place; a zone of "" is none.
  const hasPlace = (birth) =>
    (!absent(birth.zone) && birth.zone !== "") ||
    !absent(birth.longitude) ||
    !absent(birth.solar) ||
    !absent(birth.dst);

  // Hands the birth place to the module for the casts after it, or takes the last one away;
  // throws the refusal of a place that cannot be used.
  function setPlace(birth) {
    checkPlace(birth);
    const wanted = hasPlace(birth);
    if (!wanted && !placeSet) return;
    placeSet = wanted;
    if (!wanted) {
      placeKey = null;
      wasm._VelmoraPlace(0, 0, 0, 0, 0, -1, 0);
      return;
    }
    const { longitude, solar, dst } = birth;
    const name = birth.zone ?? "";
    // Births of a batch name the same place again and again: the module keeps it.
    const city = birth.place;
    const key = [name, typeof longitude, longitude, solar, dst, ...(absent(city) ? [] :
      [city.name, city.region, city.country, city.countryCode, city.latitude, city.longitude])].join("\u0000");
    if (key === placeKey) return;
    placeKey = null;
    if (!absent(solar) && !Object.hasOwn(kSolarTimes, solar)) {
      throw refusal(RangeError, "solar", "invalid", "use standard, mean or apparent", `solar ${quoted(solar)}`);
    }
    if (typeof dst === "string" && !Object.hasOwn(kDaylightWords, dst)) {
      throw refusal(RangeError, "dst", "invalid", "use on or off", `dst ${quoted(dst)}`);
    }
    const inForce = absent(dst) ? 0 : dst === true || dst === "on" ? 1 : 2;
    const solarTime = absent(solar) ? -1 : kSolarTimes[solar];
    if (name !== "") loadZones();
    // The city first: its names go through the same buffer as the zone's.
    if (!absent(birth.place)) nameCity(birth.place);
    const zoneBytes = encoder.encode(clip(name));
    const degreesBytes =
      typeof longitude === "string" ? encoder.encode(clip(longitude)) : new Uint8Array(0);
    wasm.HEAPU8.set(zoneBytes, input);
    wasm.HEAPU8.set(degreesBytes, input + zoneBytes.length);
    const longitudeKind = absent(longitude) ? 0 : typeof longitude === "string" ? 2 : 1;
    const outcome = wasm._VelmoraPlace(
      input, zoneBytes.length, degreesBytes.length, longitudeKind,
      typeof longitude === "number" ? longitude : 0, solarTime, inForce,
    );
    if (outcome === 0) {
      placeKey = key;
      return;
    }
    const said = wasm.UTF8ToString(wasm._VelmoraMessage());
    if (outcome === kUnknownZone) throw refusal(RangeError, "zone", "unknown", said, `zone ${quoted(name)}`);
    if (outcome === kBadLongitude) {
      const shown = typeof longitude === "string" ? quoted(longitude) : String(longitude);
      throw refusal(RangeError, "longitude", "invalid", said, `longitude ${shown}`);
    }
    if (outcome === kNeedsZone) throw refusal(TypeError, "zone", "missing", said);
    if (outcome === kNeedsLongitude) throw refusal(TypeError, "longitude", "missing", said);
    throw new Error(`the module answered a birth place with ${outcome}.`);
  }

  // Tells the module the city the next birth place is taken from. Each name is cut where the
  // module would cut it all the same, so that the four fit in its buffer.
  function nameCity(city) {
    const names = [city.name, city.region, city.country, city.countryCode].map((name) =>
      encoder.encode(name.length > kMaxPlaceName ? name.slice(0, kMaxPlaceName) : name),
    );
    let at = input;
    for (const bytes of names) {
      wasm.HEAPU8.set(bytes, at);
      at += bytes.length;
    }
    wasm._VelmoraPlaceCity(input, ...names.map((bytes) => bytes.length), city.latitude, city.longitude);
  }

  // Copies `text` into the module's memory at `at` as UTF-8 and gives its length in bytes, or -1
  // when it holds anything but ASCII: a date and a time usually are, and copying them unit by
  // unit spares the encoder's new array.
  function putAscii(text, at) {
    const n = text.length;
    if (n > 64) return -1;
    const heap = wasm.HEAPU8;
    for (let i = 0; i < n; ++i) {
      const c = text.charCodeAt(i);
      if (c >= 0x80) return -1;
      heap[at + i] = c;
    }
    return n;
  }

  // Puts the birth's two texts, date then time, in the module's buffer; gives their lengths.
  function putBirth(birth) {
    const dateBytes = putAscii(birth.date, input);
    const timeBytes = dateBytes < 0 ? -1 : putAscii(birth.time, input + dateBytes);
    if (timeBytes >= 0) return [dateBytes, timeBytes];
    const date = encoder.encode(clip(birth.date));
    const time = encoder.encode(clip(birth.time));
    wasm.HEAPU8.set(date, input);
    wasm.HEAPU8.set(time, input + date.length);
    return [date.length, time.length];
  }

  // Casts the birth with `castWith` (the whole report, or the chart alone) or throws velmora-cli's
  // message for it.
  function castBy(castWith, given) {
    const birth = readBirth(given);
    setPlace(birth);
    const [dateBytes, timeBytes] = putBirth(birth);
    const outcome = castWith(input, dateBytes, timeBytes);
    if (outcome === 0) return;
    const said = wasm.UTF8ToString(wasm._VelmoraMessage());
    if (outcome === kBadDate) throw refusal(TypeError, "date", "invalid", said, `--date ${quoted(birth.date)}`);
    if (outcome === kBadTime) throw refusal(TypeError, "time", "invalid", said, `--time ${quoted(birth.time)}`);
    const refused = { [kUnsupportedBirth]: ["date", "unsupported"], [kSkippedTime]: ["time", "skipped"],
                      [kRepeatedTime]: ["dst", "repeated"] }[outcome];
    if (refused !== undefined) {
      // velmora-cli's whole line, the reason alone beside it.
      const error = new RangeError(said);
      [error.field, error.code] = refused;
      error.reason = wasm.UTF8ToString(wasm._VelmoraReason());
      throw error;
    }
    throw new Error(`the module answered a cast with ${outcome}.`);
  }
  const cast = (birth) => castBy(wasm._VelmoraCast, birth);
  const castChartOnly = (birth) => castBy(wasm._VelmoraCastChart, birth);

  // The display names by item code, read from the module once.
  const names = Array.from({ length: wasm._VelmoraNamedCodes() }, (_, code) =>
    wasm.UTF8ToString(wasm._VelmoraStarName(code)),
  );
  const nameOf = (code) => (code >= 0 && code < names.length ? names[code] : "");

  // The chart's numbers as the module lays them out. Each field of L read below is where that
  // number lies, in 32-bit words: the build writes each in as the offset the module's own
  // description of its layout gives, so that reading a chart costs no lookup.
  const numbersAt = wasm._VelmoraChartNumbers() >> 2;
  const two = Array.from({ length: 100 }, (_, n) => String(n).padStart(2, "0"));
  const digits = (n, width) => (n >= 0 && n < 100 && width === 2 ? two[n] : String(n).padStart(width, "0"));

  // The chart as JSON.parse gives velmora-cli's --format json, members in the same order.
  function castChart(birth) {
    castChartOnly(birth);
    const h = wasm.HEAP32; // read anew each time: the memory may have grown
    const at = numbersAt;
    const palaces = new Array(12);
    for (let branch = 1; branch <= 12; ++branch) {
      const p = at + L.palaces + (branch - 1) * L.palaceSize;
      const count = h[p + L.count];
      const items = new Array(count);
      const itemNames = new Array(count);
      for (let i = 0; i < count; ++i) {
        const code = h[p + L.items + i];
        items[i] = code;
        itemNames[i] = nameOf(code);
      }
      palaces[branch - 1] = { branch, stem: h[p + L.stem], items, names: itemNames };
    }
    const date = `${digits(h[at + L.year], 4)}-${digits(h[at + L.month], 2)}-${digits(h[at + L.day], 2)}`;
    const time = `${digits(h[at + L.hour], 2)}:${digits(h[at + L.minute], 2)}`;
    const facts = {
      yearStem: h[at + L.yearStem],
      yearBranch: h[at + L.yearBranch],
      yearStemCode: h[at + L.yearStemCode],
      lunarMonth: h[at + L.lunarMonth],
      lunarDay: h[at + L.lunarDay],
      hourBranch: h[at + L.hourBranch],
    };
    const lunarDate = {
      year: h[at + L.lunarYear],
      month: h[at + L.lunarMonthNumber],
      leap: h[at + L.leap] === 1,
      day: h[at + L.lunarDayOfMonth],
    };
    const bureau = h[at + L.bureau];
    const lifeBranch = h[at + L.lifeBranch];
    if (!placeSet) return { format: 1, date, time, facts, lunarDate, bureau, lifeBranch, palaces };
    // A corrected birth has its correction after the time, where velmora-cli's JSON has it.
    const correction = JSON.parse(wasm.UTF8ToString(wasm._VelmoraCorrectionJson()));
    return { format: 1, date, time, correction, facts, lunarDate, bureau, lifeBranch, palaces };
  }

  // The function that casts a birth and reads one output of the module back.
  const output = (read) => (birth) => {
    cast(birth);
    return wasm.UTF8ToString(read());
  };

  // velmora-cli's --format json, byte for byte; the reading is not needed for it.
  const chartJson = (birth) => {
    castChartOnly(birth);
    return wasm.UTF8ToString(wasm._VelmoraChartJson());
  };

  // A palace's or star's name as the chart's names give it, in any letter case and spacing,
  // and its kind and description as the module gives them; null for a name that is none.
  const kMaxItemName = 64;
  const fold = (name) => name.trim().replace(/\s+/g, " ").toLowerCase();
  const codeByName = new Map();
  names.forEach((name, code) => {
    if (name !== "") codeByName.set(fold(name), code);
  });
  function describeItem(name) {
    if (typeof name !== "string") {
      throw new TypeError(
        'a name is a string, a palace\'s or a star\'s as the chart names it, such as "Greedy Wolf".',
      );
    }
    const code = name.length > kMaxItemName ? undefined : codeByName.get(fold(name));
    if (code === undefined) return null;
    const { kind, description } = JSON.parse(wasm.UTF8ToString(wasm._VelmoraItemDescription(code)));
    return { name: names[code], code, kind, description };
  }

  return {
    chartJson,
    castChart,
    readingHtml: output(() => wasm._VelmoraReadingHtml()),
    readingText: output(() => wasm._VelmoraReadingText()),
    boardSvg: output(() => wasm._VelmoraBoardSvg()),
    htmlPage: output(() => wasm._VelmoraHtmlPage()),
    birthHeading: output(() => wasm._VelmoraBirthHeading()),
    correctionLine: output(() => wasm._VelmoraCorrectionLine()),
    bareBoardSvg: () => wasm.UTF8ToString(wasm._VelmoraBareBoardSvg()),
    zoneNames: (all) => {
      loadZones();
      return wasm.UTF8ToString(wasm._VelmoraZoneNames(all === true ? 0 : 1)).split("\n").slice(0, -1);
    },
    zoneDatabase: ZONE_DATABASE,
    describeItem,
  };
}
