import { findPlaces } from "velmora/places";

const queries = JSON.parse(process.argv[2]);
console.log(JSON.stringify(queries.map((query) => findPlaces(query, 5).map((p) => `${p.label}\t${p.zone}`))));
