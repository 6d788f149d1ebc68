import { readFileSync } from "node:fs";
import { chartJson, readingText } from "velmora";

const births = JSON.parse(readFileSync(process.argv[2], "utf8"));
console.log(JSON.stringify(births.map((birth) => [chartJson(birth), readingText(birth)])));
