// Loaded lazily, without top-level await, so that the bundle may target ES2020 as an IIFE.
import { load } from "velmora/load";
import births from "../births.json";

load().then(
  ({ chartJson, readingText }) => {
    window.velmoraResult = births.map((birth) => [chartJson(birth), readingText(birth)]);
  },
  (error) => {
    window.velmoraResult = String(error);
  },
);
