// The page's Run: the birth from the two fields, and the birth place when one is asked for, the
// board drawn as inline SVG beside the coloured reading, the sentence saying which moment a
// corrected birth was cast from, and the three downloads of what was drawn. Everything is
// computed here.
"use strict";

(async () => {
  const $ = (id) => document.getElementById(id);
  const form = $("birth");
  const dateField = $("birth-date");
  const timeField = $("birth-time");
  const board = $("board");
  const reading = $("reading");
  const message = $("message");
  const heading = $("heading");
  const saveButtons = [$("save-svg"), $("save-png"), $("save-html")];
  const zoneField = $("place-zone");
  const longitudeField = $("place-longitude");
  const solarField = $("place-solar");
  const dstField = $("place-dst");
  const correction = $("correction");

  const velmora = await globalThis.velmoraReady;
  let cast = null; // the birth last cast, with its texts, for the downloads

  // Inside the page the board is an element, not a document: its XML declaration goes.
  const inlineSvg = (svg) => (svg.startsWith("<?xml") ? svg.slice(svg.indexOf("\n") + 1) : svg);
  const twoDigits = (n) => String(n).padStart(2, "0");

  // The fields start at the present moment, as the window's pickers do.
  const now = new Date();
  dateField.value = `${now.getFullYear()}-${twoDigits(now.getMonth() + 1)}-${twoDigits(now.getDate())}`;
  timeField.value = `${twoDigits(now.getHours())}:${twoDigits(now.getMinutes())}`;
  board.innerHTML = inlineSvg(velmora.bareBoardSvg());

  // The zones this browser knows, to pick from as the zone's name is typed.
  if (typeof Intl.supportedValuesOf === "function") {
    $("zone-names").append(
      ...Intl.supportedValuesOf("timeZone").map((name) => new Option("", name)),
    );
  }
  // Typing a zone asks for standard time, and a longitude for mean solar time, unless a further
  // correction is chosen already.
  const level = ["", "standard", "mean", "apparent"];
  const atLeast = (solar) => {
    if (level.indexOf(solarField.value) < level.indexOf(solar)) solarField.value = solar;
  };
  zoneField.addEventListener("input", () => zoneField.value.trim() && atLeast("standard"));
  longitudeField.addEventListener("input", () => longitudeField.value.trim() && atLeast("mean"));

  // The birth with the place fields the chosen correction reads; the clock time as entered
  // reads none of them.
  function birthOfFields() {
    const birth = { date: dateField.value, time: timeField.value.trim() };
    const solar = solarField.value;
    if (solar === "") return birth;
    birth.zone = zoneField.value.trim();
    birth.solar = solar;
    const longitude = longitudeField.value.trim();
    if (solar !== "standard" && longitude !== "") birth.longitude = longitude;
    if (dstField.value !== "") birth.dst = dstField.value === "on";
    return birth;
  }

  function run() {
    const birth = birthOfFields();
    let svg, html, named, line;
    try {
      svg = velmora.boardSvg(birth);
      html = velmora.readingHtml(birth);
      named = velmora.birthHeading(birth);
      line = birth.solar === undefined ? "" : velmora.correctionLine(birth);
    } catch (error) {
      // A refused birth changes nothing but the message, which names this page's field where
      // the package's names its option.
      message.textContent = error.message.replace(
        "say whether daylight saving time was in force with dst: true or dst: false",
        'choose under "Hour shown twice" whether daylight saving time was in force',
      );
      return;
    }
    message.textContent = "";
    board.innerHTML = inlineSvg(svg);
    board.setAttribute("aria-label", `The board of the chart for a birth on ${named}`);
    reading.innerHTML = html;
    correction.textContent = line;
    correction.hidden = line === "";
    heading.textContent = `Velmora chart for a birth on ${named}`;
    document.title = `Velmora chart: ${named}`;
    // Named as the window names its saves, the hour two digits wide: velmora-2000-02-04-0705.
    const [hour, minute] = birth.time.split(":");
    cast = { birth, svg, name: `velmora-${birth.date}-${hour.padStart(2, "0")}${minute}` };
    for (const button of saveButtons) button.disabled = false;
  }

  form.addEventListener("submit", (event) => {
    event.preventDefault();
    run();
  });
  // Enter runs from any field, the date field included.
  form.addEventListener("keydown", (event) => {
    if (event.key === "Enter" && event.target.tagName === "INPUT") {
      event.preventDefault();
      run();
    }
  });

  function download(blob, fileName) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = fileName;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

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
})();
