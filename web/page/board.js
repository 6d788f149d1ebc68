// The board's cells: the twelve palace cells as buttons laid over the drawing, each naming its
// palace and every star in it, bringing that palace's part of the reading into view, and showing
// its stars' descriptions beside the board.

const board = document.getElementById("board");
const cells = document.getElementById("board-cells");
const starTip = document.getElementById("star-tip");
const reading = document.getElementById("reading");

export const motion = () => (matchMedia("(prefers-reduced-motion: reduce)").matches ? "auto" : "smooth");

// The reading's blocks by palace name.
export function palaceBlocks() {
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
export function layCells(chart, blocks) {
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
export function hideStars() {
  starTip.hidden = true;
}
document.getElementById("board-frame").addEventListener("pointerleave", () => {
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
