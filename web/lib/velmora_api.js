// The public functions of the package, over an instantiated Velmora module. Each casts the birth
// it is given through velmora-cli's own checks and reads one output of velmora-cli back.

// The most characters of the user's text that a message repeats, as velmora-cli cuts it.
const kMaxEcho = 120;

// The outcomes of a cast, as the module numbers them.
const kBadDate = 1;
const kBadTime = 2;
const kUnsupportedBirth = 3;

function velmoraApi(wasm) {
  const encoder = new TextEncoder();
  let input = 0; // the module's buffer for the birth's text
  let inputCapacity = 0;

  // A user's text as a message shows it: cut after kMaxEcho UTF-16 units, in quotes.
  function quoted(text) {
    return '"' + (text.length > kMaxEcho ? text.slice(0, kMaxEcho) + "..." : text) + '"';
  }

  // Control, format and separator characters become "?", so that a message stays one line and
  // reads as written; velmora-cli does the same to each UTF-16 unit.
  function oneLine(message) {
    return message.replace(/[\p{Cc}\p{Cf}\p{Zl}\p{Zp}]/gu, (c) => (c.length === 1 ? "?" : c));
  }

  function checkBirth(birth) {
    const ok =
      birth !== null &&
      typeof birth === "object" &&
      typeof birth.date === "string" &&
      typeof birth.time === "string";
    if (!ok) {
      throw new TypeError(
        'a birth is {date: "YYYY-MM-DD", time: "HH:MM"}, two strings (for example ' +
          '{date: "2000-02-04", time: "23:00"}).',
      );
    }
  }

  function reserveInput(bytes) {
    if (bytes <= inputCapacity) return;
    if (input !== 0) wasm._free(input);
    inputCapacity = Math.max(bytes, 64);
    input = wasm._malloc(inputCapacity);
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
    reserveInput(128);
    const dateBytes = putAscii(birth.date, input);
    const timeBytes = dateBytes < 0 ? -1 : putAscii(birth.time, input + dateBytes);
    if (timeBytes >= 0) return [dateBytes, timeBytes];
    const date = encoder.encode(birth.date);
    const time = encoder.encode(birth.time);
    reserveInput(date.length + time.length);
    wasm.HEAPU8.set(date, input);
    wasm.HEAPU8.set(time, input + date.length);
    return [date.length, time.length];
  }

  // Casts the birth with `castWith` (the whole report, or the chart alone) or throws velmora-cli's
  // message for it.
  function castBy(castWith, birth) {
    checkBirth(birth);
    const [dateBytes, timeBytes] = putBirth(birth);
    const outcome = castWith(input, dateBytes, timeBytes);
    if (outcome === 0) return;
    const said = wasm.UTF8ToString(wasm._VelmoraMessage());
    if (outcome === kBadDate) throw new TypeError(oneLine(`--date ${quoted(birth.date)}: ${said}.`));
    if (outcome === kBadTime) throw new TypeError(oneLine(`--time ${quoted(birth.time)}: ${said}.`));
    if (outcome === kUnsupportedBirth) throw new RangeError(said);
    throw new Error(`the module answered a cast with ${outcome}.`);
  }
  const cast = (birth) => castBy(wasm._VelmoraCast, birth);
  const castChartOnly = (birth) => castBy(wasm._VelmoraCastChart, birth);

  // The display names by item code, read from the module once.
  const names = Array.from({ length: wasm._VelmoraNamedCodes() }, (_, code) =>
    wasm.UTF8ToString(wasm._VelmoraStarName(code)),
  );
  const nameOf = (code) => (code >= 0 && code < names.length ? names[code] : "");

  // The chart's numbers as the module lays them out: the birth, the six facts, the lunar date,
  // the bureau, the Life branch, then per branch its stem, its entry count and ten places for
  // entries.
  const numbersAt = wasm._VelmoraChartNumbers() >> 2;
  const kChartHead = 17;
  const kPalaceNumbers = 12;
  const two = Array.from({ length: 100 }, (_, n) => String(n).padStart(2, "0"));
  const digits = (n, width) => (n >= 0 && n < 100 && width === 2 ? two[n] : String(n).padStart(width, "0"));

  // The chart as JSON.parse gives velmora-cli's --format json, members in the same order.
  function castChart(birth) {
    castChartOnly(birth);
    const h = wasm.HEAP32; // read anew each time: the memory may have grown
    const at = numbersAt;
    const palaces = new Array(12);
    for (let branch = 1; branch <= 12; ++branch) {
      const p = at + kChartHead + (branch - 1) * kPalaceNumbers;
      const count = h[p + 1];
      const items = new Array(count);
      const itemNames = new Array(count);
      for (let i = 0; i < count; ++i) {
        const code = h[p + 2 + i];
        items[i] = code;
        itemNames[i] = nameOf(code);
      }
      palaces[branch - 1] = { branch, stem: h[p], items, names: itemNames };
    }
    return {
      format: 1,
      date: `${digits(h[at], 4)}-${digits(h[at + 1], 2)}-${digits(h[at + 2], 2)}`,
      time: `${digits(h[at + 3], 2)}:${digits(h[at + 4], 2)}`,
      facts: {
        yearStem: h[at + 5],
        yearBranch: h[at + 6],
        yearStemCode: h[at + 7],
        lunarMonth: h[at + 8],
        lunarDay: h[at + 9],
        hourBranch: h[at + 10],
      },
      lunarDate: { year: h[at + 11], month: h[at + 12], leap: h[at + 13] === 1, day: h[at + 14] },
      bureau: h[at + 15],
      lifeBranch: h[at + 16],
      palaces,
    };
  }

  // The function that casts a birth and reads one output of the module back.
  const output = (read) => (birth) => {
    cast(birth);
    return wasm.UTF8ToString(read());
  };

  // velmora-cli's --format json, byte for byte; the reading is not needed for it.
  const chartJson = (birth) => {
    castChartOnly(birth);
    return wasm.UTF8ToString(wasm._VelmoraCastChartJson());
  };

  return {
    chartJson,
    castChart,
    readingHtml: output(() => wasm._VelmoraReadingHtml()),
    readingText: output(() => wasm._VelmoraReadingText()),
    boardSvg: output(() => wasm._VelmoraBoardSvg()),
    htmlPage: output(() => wasm._VelmoraHtmlPage()),
    birthHeading: output(() => wasm._VelmoraBirthHeading()),
    bareBoardSvg: () => wasm.UTF8ToString(wasm._VelmoraBareBoardSvg()),
  };
}
