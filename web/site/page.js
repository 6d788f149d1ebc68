// The page's Run: the birth from the two fields, the board drawn as inline SVG beside the
// coloured reading, and the three downloads of what was drawn. Everything is computed here.
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

  function run() {
    const birth = { date: dateField.value, time: timeField.value.trim() };
    let svg, html, named;
    try {
      svg = velmora.boardSvg(birth);
      html = velmora.readingHtml(birth);
      named = velmora.birthHeading(birth);
    } catch (error) {
      // A refused birth changes nothing but the message.
      message.textContent = error.message;
      return;
    }
    message.textContent = "";
    board.innerHTML = inlineSvg(svg);
    board.setAttribute("aria-label", `The board of the chart for a birth on ${named}`);
    reading.innerHTML = html;
    heading.textContent = `Velmora chart for a birth on ${named}`;
    document.title = `Velmora chart: ${named}`;
    cast = { birth, svg, name: `velmora-${birth.date}-${birth.time.replace(":", "")}` };
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
