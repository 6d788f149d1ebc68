// The downloads of the chart shown, the board as SVG and PNG and the reading as HTML, and its
// link copied. `shown()` gives the chart shown ({birth, svg, name}), `velmora()` the package.

import { fragmentOf } from "./links.js";

function download(blob, fileName) {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(blob);
  link.download = fileName;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

export function offerDownloads({ shown, velmora, status, message }) {
  const $ = (id) => document.getElementById(id);
  const copyButton = $("copy-link");

  // The address of the chart shown, to the clipboard; where the browser keeps the clipboard from
  // the page, the address is selected in a field for copying by hand.
  copyButton.addEventListener("click", async () => {
    const address = new URL(fragmentOf(shown().birth), location.href).href;
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
    const { svg, name } = shown();
    download(new Blob([svg], { type: "image/svg+xml" }), `${name}.svg`);
  });
  $("save-html").addEventListener("click", () => {
    const { birth, name } = shown();
    download(new Blob([velmora().htmlPage(birth)], { type: "text/html" }), `${name}.html`);
  });
  // The PNG is the SVG drawn at its own size, 401 × 401 pixels, on a canvas.
  $("save-png").addEventListener("click", () => {
    const { svg, name } = shown();
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
}
