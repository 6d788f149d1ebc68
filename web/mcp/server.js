// Velmora's tools for AI assistants over the Model Context Protocol: the chart, the reading, the
// board, the cities and the meaning of each palace and star, each cast by the velmora package
// exactly as velmora-cli casts it. A refused birth is a tool result marked as an error, in
// velmora-cli's words, so that the model can correct its arguments and try again.

import { readFileSync } from "node:fs";

import { McpServer } from "@modelcontextprotocol/sdk/server/mcp.js";
import { McpError, ErrorCode } from "@modelcontextprotocol/sdk/types.js";
import * as z from "zod";
import { birthHeading, boardSvg, castChart, chartJson, correctionLine, describeItem, readingText } from "velmora";

const here = (file) => new URL(file, import.meta.url);

/** The package's name and version, as the server introduces itself. */
export const packageInfo = JSON.parse(readFileSync(here("./package.json"), "utf8"));

// The chart as velmora-cli --format json documents it; the tool lists it as its output schema
// word for word, and the client checks every chart against it.
const chartSchema = JSON.parse(readFileSync(here("./velmora-chart.schema.json"), "utf8"));
const chartOutput = z.looseObject({}).meta({
  $schema: chartSchema.$schema,
  ...chartSchema.$defs.chart,
  $defs: chartSchema.$defs,
});

// The city finder holds a table of some 24,000 cities: it is loaded by the first call that needs
// it, so that the server answers at once.
let places = null;
const findPlaces = async (query, limit) => {
  places ??= import("velmora/places");
  return (await places).findPlaces(query, limit);
};

// The most characters of the user's text that a message repeats, as velmora-cli cuts it.
const kMaxEcho = 120;

// A text as velmora-cli's messages repeat it: in quotes, cut after kMaxEcho characters, every
// control, format or separator character shown as "?" so that the message stays one line.
function quoted(text) {
  const shown = text.length > kMaxEcho ? `${text.slice(0, kMaxEcho)}...` : text;
  return `"${shown.replace(/[\p{Cc}\p{Cf}\p{Zl}\p{Zp}]/gu, (c) => (c.length === 1 ? "?" : c))}"`;
}

// The words velmora-cli uses for a city it cannot find.
const kUnknownPlace =
  "no city of 15,000 people or more by that name; give a city's name, then its region or " +
  'country when several share it, such as Urumqi, "Springfield, Illinois" or "London, Canada"';

// A refusal the model can act on: said in words, as a tool's error.
class Refusal extends Error {}

// The birth's arguments, each with the words a wrong one is refused in.
const birthFields = {
  date: z
    .string({ error: 'date is the birth date, a string "YYYY-MM-DD" such as "2000-02-04".' })
    .describe("The birth date, YYYY-MM-DD in the Gregorian calendar, such as 2000-02-04."),
  time: z
    .string({ error: 'time is the clock time of the birth, a string "HH:MM" such as "23:00".' })
    .describe(
      "The local clock time of the birth, HH:MM on the 24-hour clock, such as 23:00. Births from " +
        "1901-12-31 23:00 to 2051-12-31 22:59 are accepted.",
    ),
  place: z
    .string({ error: 'place is a city\'s name, a string such as "Urumqi" or "Springfield, Illinois".' })
    .optional()
    .describe(
      "The birth place by its city's name (15,000 people or more), then its region and country " +
        'when several share it: "Urumqi", "Springfield, Illinois", "London, Canada", "Paris, TX". ' +
        "The clock time is then corrected to local mean solar time from the city's time zone and " +
        "longitude. Leave out zone and longitude with it.",
    ),
  zone: z
    .string({ error: 'zone is the name of a time zone, a string such as "Asia/Shanghai".' })
    .optional()
    .describe(
      "The birth place's time zone, a name of the time zone database such as Asia/Shanghai: the " +
        "chart is cast from standard time, without the daylight saving time then in force.",
    ),
  longitude: z
    .union([z.number(), z.string()], { error: "longitude is degrees east, a number such as 87.6 (west negative)." })
    .optional()
    .describe(
      "The birth place's longitude in degrees, east positive and west negative, such as 87.6: the " +
        "chart is cast from local mean solar time. Needs zone.",
    ),
  solar: z
    .enum(["standard", "mean", "apparent"], { error: 'solar is "standard", "mean" or "apparent".' })
    .optional()
    .describe(
      'The time to cast from: "standard" (the zone\'s standard time), "mean" (local mean solar ' +
        'time, the default with a longitude) or "apparent" (the sun\'s own time of that day).',
    ),
  dst: z
    .union([z.enum(["on", "off"]), z.boolean()], {
      error: 'dst is "on" or true, "off" or false: whether daylight saving time was in force.',
    })
    .optional()
    .describe(
      'Whether daylight saving time was in force, "on" or "off", for a clock time the zone showed ' +
        "twice when its clocks went back; needed only then.",
    ),
};

// An object of these fields and no others, each unknown one named in the refusal.
function argumentsOf(tool, fields) {
  const known = Object.keys(fields).join(", ");
  return z.strictObject(fields, {
    error: (issue) =>
      issue.code === "unrecognized_keys"
        ? `${tool} takes ${known}; ${issue.keys.map((key) => quoted(key)).join(", ")} is none of them.`
        : undefined,
  });
}

// The birth as the velmora package takes it, its city found by name; a refusal for a city that
// no name finds.
async function birthOf({ place, ...birth }) {
  if (place === undefined) return birth;
  const [city] = await findPlaces(place, 1);
  if (city === undefined) throw new Refusal(`place ${quoted(place)}: ${kUnknownPlace}.`);
  return { ...birth, place: city };
}

// The tool's answer, or its refusal as an error result: the package's TypeError and RangeError
// carry velmora-cli's words.
async function answer(work) {
  try {
    return await work();
  } catch (error) {
    if (error instanceof Refusal || error instanceof TypeError || error instanceof RangeError) {
      return { isError: true, content: [{ type: "text", text: error.message }] };
    }
    throw error;
  }
}

// The name a board's resource goes by: the birth and, with a birth place, the moment cast.
function boardUri(chart) {
  const moment = chart.correction?.cast ?? `${chart.date}T${chart.time}`;
  return `velmora://board/${moment.slice(0, 16).replace(":", "")}.svg`;
}

const kInstruction =
  "Explain this Chinese palace-and-star natal chart, cast by Velmora. Go through the palaces in " +
  "the reading's order, from the Life palace, and explain each from the reading's own texts: " +
  "what the palace stands for and what each of its stars brings there. Quote or paraphrase those " +
  "texts; do not add meanings of palaces or stars that the reading does not give, and do not " +
  "recompute the chart.";

/** A server with Velmora's tools and prompt, ready to be connected to a transport. */
export function createServer() {
  const server = new McpServer(
    { name: packageInfo.name, title: "Velmora", version: packageInfo.version },
    {
      instructions:
        "Velmora casts Chinese palace-and-star natal charts exactly, offline. Call cast_chart " +
        "for a birth's chart and reading instead of working the lunar calendar or the stars out " +
        "yourself; find_places finds a birth city; describe explains one palace or star.",
    },
  );

  server.registerTool(
    "cast_chart",
    {
      title: "Cast a natal chart",
      description:
        "Casts the Chinese palace-and-star natal chart of a birth: the lunar calendar facts, the " +
        "twelve palaces on the twelve earthly branches with their stars, and the English reading " +
        "of every palace and star. Give the birth date and the local clock time; give the birth " +
        "place (a city, or a time zone and longitude) to correct the clock time for daylight " +
        "saving time and solar time first. The structured result is the chart as velmora-cli " +
        "--format json gives it; the text is the reading, opening with the correction's sentence " +
        "when a birth place is given. A refused birth comes back as an error saying what is " +
        "accepted: correct the argument it names and call again.",
      inputSchema: argumentsOf("cast_chart", birthFields),
      outputSchema: chartOutput,
      annotations: { readOnlyHint: true, openWorldHint: false },
    },
    (args) =>
      answer(async () => {
        const birth = await birthOf(args);
        const chart = castChart(birth);
        return { structuredContent: chart, content: [{ type: "text", text: readingText(birth) }] };
      }),
  );

  server.registerTool(
    "find_places",
    {
      title: "Find birth places",
      description:
        "Finds the cities of 15,000 people or more that a name gives, most populous first, with " +
        "each one's time zone and coordinates: a city's name or the start of its words, then " +
        'optionally its region and country after commas ("Springfield, Illinois", "London, CA"). ' +
        "Give cast_chart the city's label as its place.",
      inputSchema: argumentsOf("find_places", {
        query: z
          .string({ error: 'query is a city\'s name, a string such as "Springfield".' })
          .describe('A city\'s name, or the start of its words, then optionally region and country: "springfield, il".'),
        limit: z
          .number({ error: "limit is how many cities to list at most, a whole number such as 10." })
          .int({ error: "limit is how many cities to list at most, a whole number such as 10." })
          .min(0, { error: "limit is how many cities to list at most, a whole number such as 10." })
          .optional()
          .describe("The most cities to list; 10 when left out."),
      }),
      outputSchema: {
        places: z.array(
          z.object({
            label: z.string().describe("The city as cast_chart's place takes it: name, region and country."),
            name: z.string(),
            region: z.string(),
            country: z.string(),
            countryCode: z.string(),
            zone: z.string().describe("The time zone its clocks keep."),
            latitude: z.number().describe("Degrees north, south negative."),
            longitude: z.number().describe("Degrees east, west negative."),
            population: z.number(),
          }),
        ),
      },
      annotations: { readOnlyHint: true, openWorldHint: false },
    },
    ({ query, limit }) =>
      answer(async () => {
        const found = (await findPlaces(query, limit ?? 10)).map(
          ({ label, name, region, country, countryCode, zone, latitude, longitude, population }) => ({
            label, name, region, country, countryCode, zone, latitude, longitude, population,
          }),
        );
        const text =
          found.length === 0
            ? `${quoted(query)}: ${kUnknownPlace}.`
            : found.map((p) => `${p.label}\t${p.zone}\t${p.latitude}, ${p.longitude}`).join("\n");
        return { structuredContent: { places: found }, content: [{ type: "text", text }] };
      }),
  );

  server.registerTool(
    "describe",
    {
      title: "Describe a palace or star",
      description:
        "Gives the kind (palace, main star, auxiliary star or minor star) and the description of a " +
        'palace or star by its English name as the chart names it ("Life", "Career", "Greedy Wolf", ' +
        '"7 Kills", "Angel 1"): the text the reading gives for it.',
      inputSchema: argumentsOf("describe", {
        name: z
          .string({ error: 'name is a palace\'s or a star\'s English name, a string such as "Greedy Wolf".' })
          .describe('The English name of a palace or star, as the chart\'s names give it: "Greedy Wolf".'),
      }),
      outputSchema: {
        name: z.string(),
        code: z.number().int().describe("Its item code, as the chart's items give it."),
        kind: z.enum(["palace", "main star", "auxiliary star", "minor star"]),
        description: z.string().describe("The reading's text for it."),
      },
      annotations: { readOnlyHint: true, openWorldHint: false },
    },
    ({ name }) =>
      answer(async () => {
        const item = describeItem(name);
        if (item === null) {
          throw new Refusal(
            `name ${quoted(name)}: no palace or star has that name; give an English name as the ` +
              'chart names it, a palace such as "Life" or "Career", or a star such as "King", ' +
              '"Greedy Wolf" or "Angel 1".',
          );
        }
        const text = `${item.name} (${item.kind}): ${item.description}`;
        return { structuredContent: item, content: [{ type: "text", text }] };
      }),
  );

  server.registerTool(
    "draw_board",
    {
      title: "Draw the chart's board",
      description:
        "Draws the chart of a birth as its 4 × 4 board: the twelve palaces round the edge, each " +
        "with its name in bold and up to six of its stars, as an SVG image (an embedded resource, " +
        "image/svg+xml, 401 × 401). Takes the same arguments as cast_chart.",
      inputSchema: argumentsOf("draw_board", birthFields),
      outputSchema: {
        heading: z.string().describe('The birth written out, "4 February 2000, 23:00".'),
        correction: z.string().describe("The sentence saying which moment was cast; empty without a birth place."),
        uri: z.string(),
        mimeType: z.literal("image/svg+xml"),
        svg: z.string().describe("The board, a standalone SVG document."),
      },
      annotations: { readOnlyHint: true, openWorldHint: false },
    },
    (args) =>
      answer(async () => {
        const birth = await birthOf(args);
        const svg = boardSvg(birth);
        const board = {
          heading: birthHeading(birth),
          correction: correctionLine(birth),
          uri: boardUri(castChart(birth)),
          mimeType: "image/svg+xml",
          svg,
        };
        const said = [`The board of ${board.heading}.`, board.correction].filter(Boolean).join(" ");
        return {
          structuredContent: board,
          content: [
            { type: "text", text: said },
            { type: "resource", resource: { uri: board.uri, mimeType: board.mimeType, text: svg } },
          ],
        };
      }),
  );

  // Prompt arguments are texts; each is handed on as cast_chart would take it.
  const promptText = (what) => z.string().optional().describe(what);
  server.registerPrompt(
    "read_chart",
    {
      title: "Read a natal chart",
      description:
        "The chart and reading of a birth, with the instruction to explain the chart from the " +
        "reading's own texts.",
      argsSchema: {
        date: z.string().describe("The birth date, YYYY-MM-DD."),
        time: z.string().describe("The local clock time of the birth, HH:MM, 24-hour."),
        place: promptText("The birth city, as cast_chart's place takes it."),
        zone: promptText("The birth place's time zone, such as Asia/Shanghai."),
        longitude: promptText("The birth place's longitude, degrees east, such as 87.6."),
        solar: promptText('"standard", "mean" or "apparent".'),
        dst: promptText('"on" or "off", for a clock time the zone showed twice.'),
      },
    },
    async (args) => {
      const given = Object.fromEntries(Object.entries(args).filter(([, value]) => value !== undefined && value !== ""));
      let birth;
      let json;
      let reading;
      try {
        birth = await birthOf(given);
        json = chartJson(birth);
        reading = readingText(birth);
      } catch (error) {
        if (error instanceof Refusal || error instanceof TypeError || error instanceof RangeError) {
          throw new McpError(ErrorCode.InvalidParams, error.message);
        }
        throw error;
      }
      const text =
        `${kInstruction}\n\nThe birth: ${birthHeading(birth)}.\n\n` +
        `The chart, as JSON (palaces by branch; each palace's names are its name, then its stars):\n` +
        `${json}\nThe reading:\n\n${reading}`;
      return {
        description: `The chart of ${birthHeading(birth)}, to be explained from its reading.`,
        messages: [{ role: "user", content: { type: "text", text } }],
      };
    },
  );

  return server;
}
