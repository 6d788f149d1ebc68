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

  // Casts the birth or throws velmora-cli's message for it.
  function cast(birth) {
    checkBirth(birth);
    const date = encoder.encode(birth.date);
    const time = encoder.encode(birth.time);
    reserveInput(date.length + time.length);
    wasm.HEAPU8.set(date, input);
    wasm.HEAPU8.set(time, input + date.length);
    const outcome = wasm._VelmoraCast(input, date.length, time.length);
    if (outcome === 0) return;
    const said = wasm.UTF8ToString(wasm._VelmoraMessage());
    if (outcome === kBadDate) throw new TypeError(oneLine(`--date ${quoted(birth.date)}: ${said}.`));
    if (outcome === kBadTime) throw new TypeError(oneLine(`--time ${quoted(birth.time)}: ${said}.`));
    if (outcome === kUnsupportedBirth) throw new RangeError(said);
    throw new Error(`the module answered a cast with ${outcome}.`);
  }

  // The function that casts a birth and reads one output of the module back.
  const output = (read) => (birth) => {
    cast(birth);
    return wasm.UTF8ToString(read());
  };
  const chartJson = output(() => wasm._VelmoraChartJson());

  return {
    chartJson,
    castChart: (birth) => JSON.parse(chartJson(birth)),
    readingHtml: output(() => wasm._VelmoraReadingHtml()),
    readingText: output(() => wasm._VelmoraReadingText()),
    boardSvg: output(() => wasm._VelmoraBoardSvg()),
    htmlPage: output(() => wasm._VelmoraHtmlPage()),
    birthHeading: output(() => wasm._VelmoraBirthHeading()),
    bareBoardSvg: () => wasm.UTF8ToString(wasm._VelmoraBareBoardSvg()),
  };
}
