import { chartJson, readingText } from "velmora";
import births from "../births.json";

window.velmoraResult = births.map((birth) => [chartJson(birth), readingText(birth)]);
