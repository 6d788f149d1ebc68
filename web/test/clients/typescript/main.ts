// Compiles under strict and exactOptionalPropertyTypes: every form of birth the documentation
// allows, the three ways in, and what they give back.
import { castChart, chartJson, type Birth, type Chart } from "velmora";
import { load, type VelmoraApi } from "velmora/load";
import { findPlaces, type Place } from "velmora/places";

const plain: Birth = { date: "2000-02-04", time: "23:00" };
const notGiven: Birth = { date: "2000-02-04", time: "23:00", zone: undefined, longitude: null };
const placed: Birth = {
  date: "1988-07-15",
  time: "09:30",
  zone: "Asia/Shanghai",
  longitude: 87.6,
  solar: "mean",
  dst: "off",
};
const alsoPlaced: Birth = { ...placed, longitude: "87.6", solar: "standard", dst: false };
const chart: Chart = castChart(plain);
const life: number = chart.lifeBranch;
const text: string = chartJson(notGiven) + chartJson(alsoPlaced);

async function later(): Promise<string> {
  const velmora: VelmoraApi = await load();
  return velmora.readingText(placed);
}

// A birth placed by city name, and the finder loaded only when first wanted.
const [urumqi]: Place[] = findPlaces("Urumqi", 1);
const found: Birth = { date: "1988-07-15", time: "09:30", zone: urumqi?.zone, longitude: urumqi?.longitude };
async function whenTyped(query: string): Promise<string[]> {
  const places = await import("velmora/places");
  return places.findPlaces(query, 10).map((place) => place.label);
}

export { life, text, later, found, whenTyped };
