// The city list: the cities that match what the city field holds, listed as it is typed, chosen
// with the arrow keys and Enter or a click; a city chosen fills the zone and the longitude. The
// city finder is loaded when the field is first used, not while the page opens.

import { quoted } from "./words.js";

const kCitiesListed = 8;
export const kNoCities = "The list of cities could not be loaded: give the birth place's time zone and longitude instead.";
const cityPhrase = (typed) =>
  `No city of 15,000 people or more is called ${quoted(typed)}: give a city's name, then its region or ` +
  'country when several share it, such as Urumqi, "Springfield, Illinois" or "London, Canada".';

// A longitude as velmora-cli writes it, to four places: 87.6005°E, 0.1257°W.
const degrees = (longitude) => `${Number(Math.abs(longitude).toFixed(4))}°${longitude < 0 ? "W" : "E"}`;

// The city finder: resolves to its findPlaces, or to null when it could not be loaded (tried
// again next time).
let placesLoading = null;
export function loadPlaces() {
  placesLoading ??= new Promise((resolve) => {
    const element = document.createElement("script");
    element.src = "places.js";
    element.onload = () => {
      const finder = globalThis.velmoraPlaces?.findPlaces ?? null;
      finder?.("", 0); // unpacks the table now rather than at the first letter typed
      resolve(finder);
      // The worker keeps it for use offline, even when it was fetched before the worker ran.
      navigator.serviceWorker?.ready.then((registration) => registration.active?.postMessage({ keep: "places.js" }));
    };
    element.onerror = () => {
      element.remove();
      placesLoading = null;
      resolve(null);
    };
    document.head.append(element);
  });
  return placesLoading;
}

export function cityList({ fields, status }) {
  const { field, refuse, clearRefusal, atLeast, placeTyped } = fields;
  const cityField = field.place;
  const list = document.getElementById("city-list");
  let city = null; // the city chosen, while the zone and longitude fields hold its own
  let listed = []; // the cities the list offers
  let active = -1; // the one of them marked for Enter, or -1

  // The list for `query`: its cities, or while they load (`places` null) a line saying so.
  function listCities(places, query) {
    listed = places ?? [];
    mark(-1);
    if (query.trim() === "") return closeCities();
    const items = listed.map((place, i) => {
      const item = document.createElement("li");
      item.id = `city-${i}`;
      item.setAttribute("role", "option");
      item.setAttribute("aria-selected", "false");
      const zone = document.createElement("span");
      zone.className = "zone";
      zone.textContent = `${place.zone}, ${degrees(place.longitude)}`;
      item.append(place.label, " ", zone);
      item.setAttribute("aria-label", `${place.label}, ${place.zone}, ${degrees(place.longitude)}`);
      // The press keeps the focus in the field, so that the list stays open; the click chooses,
      // which a finger scrolling the list or a right click never makes.
      item.addEventListener("mousedown", (event) => event.preventDefault());
      item.addEventListener("click", () => takeCity(place));
      item.addEventListener("pointerenter", () => mark(i));
      return item;
    });
    if (items.length === 0) {
      const none = document.createElement("li");
      none.setAttribute("role", "option");
      none.setAttribute("aria-disabled", "true");
      none.setAttribute("aria-selected", "false");
      none.textContent = places === null ? "Loading the cities…" : "No city of 15,000 people or more by that name";
      items.push(none);
    }
    list.replaceChildren(...items);
    list.hidden = false;
    cityField.setAttribute("aria-expanded", "true");
    if (places === null) return;
    status.textContent =
      places.length === 0 ? "No city matches" : `${places.length} ${places.length === 1 ? "city" : "cities"} listed`;
  }
  function closeCities() {
    list.hidden = true;
    list.replaceChildren();
    cityField.setAttribute("aria-expanded", "false");
    cityField.removeAttribute("aria-activedescendant");
    listed = [];
    active = -1;
  }
  function mark(index) {
    list.children[active]?.setAttribute("aria-selected", "false");
    active = index;
    const item = list.children[index];
    if (item === undefined) return cityField.removeAttribute("aria-activedescendant");
    item.setAttribute("aria-selected", "true");
    item.scrollIntoView({ block: "nearest" });
    cityField.setAttribute("aria-activedescendant", item.id);
  }

  // The cities that match what the field holds, as it is typed.
  let placesLoaded = false;
  function searchCities() {
    const query = cityField.value;
    if (!placesLoaded && query.trim() !== "") listCities(null, query);
    loadPlaces().then((findPlaces) => {
      placesLoaded = findPlaces !== null;
      if (cityField.value !== query || document.activeElement !== cityField) return;
      if (findPlaces === null) {
        closeCities();
        return refuse("place", kNoCities);
      }
      listCities(findPlaces(query, kCitiesListed), query);
    });
  }

  // A city chosen: its zone and longitude go into their fields, where they can still be changed,
  // and the clock time is corrected to local mean solar time unless more is asked already.
  function takeCity(place) {
    showCity(place);
    atLeast("mean");
    closeCities();
    if (cityField.getAttribute("aria-invalid") === "true") clearRefusal();
    status.textContent = `Birth place ${place.label}, ${place.zone}, ${degrees(place.longitude)}`;
  }
  // The fields show the city, which is the one cast from now on.
  function showCity(place) {
    city = place;
    cityField.value = place.label;
    field.zone.value = place.zone;
    field.longitude.value = String(place.longitude);
  }
  // A zone or longitude typed over the city's: the city named no longer applies.
  function forgetCity() {
    if (city === null) return;
    city = null;
    cityField.value = "";
  }

  field.zone.addEventListener("input", () => {
    forgetCity();
    placeTyped(field.zone, "standard");
  });
  field.longitude.addEventListener("input", () => {
    forgetCity();
    placeTyped(field.longitude, "mean");
  });
  cityField.addEventListener("focus", () => loadPlaces(), { once: true });
  cityField.addEventListener("input", () => {
    city = null;
    if (cityField.getAttribute("aria-invalid") === "true") clearRefusal();
    placeTyped(cityField, "mean");
    searchCities();
  });
  cityField.addEventListener("blur", closeCities);
  // Up and Down move through the list, Enter takes the city marked (or the first), Escape closes
  // the list; with the list closed, Enter runs as in any field and Down opens it.
  cityField.addEventListener("keydown", (event) => {
    if (event.isComposing) return;
    if (list.hidden) {
      if (event.key === "ArrowDown" && cityField.value.trim() !== "") {
        event.preventDefault();
        searchCities();
      }
      return;
    }
    const count = listed.length;
    if (event.key === "ArrowDown" || event.key === "ArrowUp") {
      event.preventDefault();
      if (count > 0) mark(event.key === "ArrowDown" ? (active + 1) % count : (active - 1 + count) % count);
    } else if (event.key === "Enter" && count > 0) {
      event.preventDefault();
      event.stopPropagation();
      takeCity(listed[Math.max(active, 0)]);
    } else if (event.key === "Escape") {
      event.preventDefault();
      closeCities();
    }
  });

  // The city a typed name gives, the most populous of that name, as if chosen; null when there
  // is none, after saying so.
  function cityOfTyped(typed) {
    return loadPlaces().then((findPlaces) => {
      if (findPlaces === null) return refuse("place", kNoCities), null;
      const [found] = findPlaces(typed, 1);
      if (found === undefined) return refuse("place", cityPhrase(typed)), null;
      takeCity(found);
      return found;
    });
  }

  return {
    chosen: () => city,
    forget: () => (city = null),
    showCity,
    cityOfTyped,
  };
}
