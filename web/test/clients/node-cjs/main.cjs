const { readFileSync } = require("node:fs");
const { chartJson, readingText } = require("velmora");

const births = JSON.parse(readFileSync(process.argv[2], "utf8"));
console.log(JSON.stringify(births.map((birth) => [chartJson(birth), readingText(birth)])));
