// Finds birth places by city name over the packed GeoNames table, exactly as velmora-cli --places
// finds them through libgeonames: the same cities in the same order. The table is unpacked and
// each name's words folded on the first search.
//
// The library keeps a city when the query's folded words start the folded words of its name, in
// order. When a word does not, it tries the name again from a byte offset: the length in UTF-8 of
// the folded word that failed, counted from the start of the text it was trying. So "k" finds
// New York ("new" fails, " York" is tried; "york" fails, "k" is tried). A "state" below is the
// name from one such offset; the build checks every state of every city against GLib's.

// The most bytes of a query that can name a city, as in velmora-cli.
const kMaxQueryBytes = 256;

// The characters velmora-cli trims from each comma-separated part: GLib's ASCII white space.
const kPartEdges = /^[\t\n\f\r ]+|[\t\n\f\r ]+$/g;

function placeFinder(packed) {
  let table = null;

  const numbers = (text) => (text === "" ? [] : text.split(",").map((n) => parseInt(n, 36)));
  const running = (text) => {
    let value = 0;
    return numbers(text).map((step) => (value += step));
  };
  // "step=value,...": values by a running number (a character, a city).
  function steppedMap(text) {
    const map = new Map();
    let key = 0;
    for (const entry of text === "" ? [] : text.split(",")) {
      const at = entry.indexOf("=");
      key += parseInt(entry.slice(0, at), 36);
      map.set(key, entry.slice(at + 1));
    }
    return map;
  }

  function unpack() {
    const wordRanges = running(packed.wordRanges);
    const asciiWord = new Uint8Array(128);
    for (let i = 0; i < wordRanges.length; i += 2) {
      for (let cp = wordRanges[i]; cp <= wordRanges[i + 1] && cp < 128; ++cp) asciiWord[cp] = 1;
    }
    const countries = packed.countries.split("\n").map((line) => line.split("\t"));
    const cityCountry = [];
    const runs = numbers(packed.country);
    for (let i = 0; i < runs.length; i += 2) {
      for (let n = 0; n < runs[i + 1]; ++n) cityCountry.push(runs[i]);
    }
    const t = {
      wordRanges,
      asciiWord,
      caseFolds: steppedMap(packed.caseFolds),
      transliterations: steppedMap(packed.transliterations),
      aliases: new Map(packed.aliases.split(",").map((pair) => pair.split("="))),
      // Each abbreviation with the regions it stands for: [abbreviation, country code, region].
      regionAbbreviations: new Map(),
      zones: packed.zones.split("\n"),
      regions: packed.regions.split("\n"),
      countries: countries.map(([name]) => name),
      countryCodes: countries.map(([, code]) => code),
      names: packed.names.split("\n"),
      cityCountry,
      cityRegion: running(packed.region),
      cityZone: running(packed.zone),
      latitude: running(packed.latitude),
      longitude: running(packed.longitude),
      population: numbers(packed.population),
      order: null,
      cities: null,
      letters: null, // each city's key's letters, by city
      pairs: null, // and the pairs of characters side by side in it
      regionWords: null,
      countryWords: null,
    };
    for (const row of packed.regionAbbreviations.split("\n").map((line) => line.split("\t"))) {
      const known = t.regionAbbreviations.get(row[0]);
      if (known === undefined) t.regionAbbreviations.set(row[0], [row]);
      else known.push(row);
    }
    table = t;
    // Most populous first; cities of equal population in the table's order, which keeps each
    // country's cities together and, within a country, is told by the tie rank.
    const tie = new Array(t.names.length).fill(0);
    for (const [city, rank] of steppedMap(packed.ties)) tie[city] = parseInt(rank, 36);
    t.order = Int32Array.from(t.names.keys()).sort(
      (a, b) =>
        t.population[b] - t.population[a] || t.cityCountry[a] - t.cityCountry[b] || tie[a] - tie[b],
    );
    t.cities = t.names.map(city);
    t.letters = Int32Array.from(t.cities, (c) => letters(c.key));
    t.pairs = Int32Array.from(t.cities, (c) => pairs(c.key));
    t.regionWords = t.regions.map(words);
    t.countryWords = t.countries.map(words);
    return t;
  }

  function isWordCharacter(cp) {
    if (cp < 128) return table.asciiWord[cp] === 1;
    const r = table.wordRanges;
    let lo = 0;
    let hi = r.length / 2;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (r[2 * mid + 1] < cp) lo = mid + 1;
      else hi = mid;
    }
    return lo < r.length / 2 && r[2 * lo] <= cp;
  }

  const utf8Bytes = (cp) => (cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4);
  function utf8Length(text) {
    let bytes = 0;
    for (const c of text) bytes += utf8Bytes(c.codePointAt(0));
    return bytes;
  }

  // A word as GLib folds it: compatibility-composed (NFKC), the Turkish dotless and dotted I made
  // a plain i, then case-folded character by character with GLib's own foldings ("Straße" and
  // "STRASSE" both "strasse").
  function fold(word) {
    if (!/[^\0-\x7f]/.test(word)) return word.toLowerCase();
    let folded = "";
    for (const c of word.normalize("NFKC").replace(/[\u0130\u0131]/g, "i")) {
      folded += table.caseFolds.get(c.codePointAt(0)) ?? c;
    }
    return folded;
  }

  // What the library compares besides a word that is not ASCII: its transliteration.
  function transliterated(word) {
    if (!/[^\0-\x7f]/.test(word)) return null;
    let ascii = "";
    for (const c of word) {
      const cp = c.codePointAt(0);
      ascii += cp < 128 ? c : table.transliterations.get(cp) ?? "?";
    }
    return ascii;
  }

  // The words of `text`: its runs of letters, marks and numbers, each with the UTF-8 bytes where
  // it starts and ends, folded, and the transliteration of each folded word that is not ASCII.
  function words(text) {
    const found = { runs: [], starts: [], ends: [], folded: null, ascii: null };
    if (!/[^\0-\x7f]/.test(text)) {
      const word = table.asciiWord;
      found.ascii = [];
      for (let i = 0; i < text.length; ) {
        while (i < text.length && word[text.charCodeAt(i)] === 0) ++i;
        if (i === text.length) break;
        const first = i;
        while (i < text.length && word[text.charCodeAt(i)] === 1) ++i;
        found.runs.push(text.slice(first, i));
        found.starts.push(first);
        found.ends.push(i);
        found.ascii.push(null);
      }
      found.folded = found.runs.map((run) => run.toLowerCase());
      return found;
    }
    let start = -1;
    let startByte = 0;
    let byte = 0;
    const end = (i) => {
      found.runs.push(text.slice(start, i));
      found.starts.push(startByte);
      found.ends.push(byte);
      start = -1;
    };
    for (let i = 0; i < text.length; ) {
      const cp = text.codePointAt(i);
      if (isWordCharacter(cp)) {
        if (start < 0) {
          start = i;
          startByte = byte;
        }
      } else if (start >= 0) {
        end(i);
      }
      i += cp > 0xffff ? 2 : 1;
      byte += utf8Bytes(cp);
    }
    if (start >= 0) end(text.length);
    found.folded = found.runs.map(fold);
    found.ascii = found.folded.map(transliterated);
    return found;
  }

  // A city by its name, with a key that every word a retry can start with lies within (the
  // build checks this for every city): most cities are ruled out by the key alone. Its words,
  // and the states reached from them, are made when a query first gets past the key.
  function city(name) {
    const c = { name, key: null, words: null, start: null, states: null };
    if (/[^\0-\x7f]/.test(name)) {
      c.words = words(name);
      c.key = [...c.words.folded, ...c.words.ascii.filter((a) => a !== null)].join("\x01");
    } else {
      c.key = name.toLowerCase();
    }
    return c;
  }

  // The letters a to z a text holds, one bit each, and one bit for any other character: a
  // key holds a word only if it holds all of the word's letters, which rules out most cities
  // at the cost of one comparison.
  function letters(text) {
    let bits = 0;
    for (let i = 0; i < text.length; ++i) {
      const letter = text.charCodeAt(i) - 97;
      bits |= letter >= 0 && letter < 26 ? 1 << letter : 1 << 26;
    }
    return bits;
  }

  // The pairs of characters side by side in a text, each hashed to one of 32 bits: a key holds a
  // word only if it holds all of the word's pairs.
  function pairs(text) {
    let bits = 0;
    for (let i = 1; i < text.length; ++i) {
      bits |= 1 << ((text.charCodeAt(i - 1) * 31 + text.charCodeAt(i)) & 31);
    }
    return bits;
  }

  function start(c) {
    if (c.start === null) {
      c.words ??= words(c.name);
      c.start = { city: c, offset: 0, k: 0, first: null, firstAscii: null, count: c.words.folded.length, next: [] };
      c.states = [c.start];
    }
    return c.start;
  }

  // The i-th word of a state, and its transliteration: the name's words from the k-th on, the
  // first of them perhaps cut short.
  const wordOf = (s, i) => (i === 0 && s.first !== null ? s.first : s.city.words.folded[s.k + i]);
  const asciiOf = (s, i) => (i === 0 && s.first !== null ? s.firstAscii : s.city.words.ascii[s.k + i]);

  // The name from a byte offset, as GLib reads it: the bytes left of a character cut in two are
  // no letters, so the words are the name's words from there on, the first perhaps shortened.
  function retry(from, i) {
    if (from.next[i] !== undefined) return from.next[i];
    const c = from.city;
    const offset = from.offset + utf8Length(wordOf(from, i));
    let s = c.states.find((known) => known.offset === offset);
    if (s === undefined) {
      const w = c.words;
      let k = 0;
      while (k < w.ends.length && w.ends[k] <= offset) ++k;
      s = { city: c, offset, k, first: null, firstAscii: null, count: w.folded.length - k, next: [] };
      if (k < w.ends.length && w.starts[k] < offset) {
        const run = w.runs[k];
        let byte = w.starts[k];
        let at = 0;
        while (byte < offset) {
          const cp = run.codePointAt(at);
          byte += utf8Bytes(cp);
          at += cp > 0xffff ? 2 : 1;
        }
        if (at === run.length) {
          s.k = k + 1;
          s.count -= 1;
        } else {
          s.first = fold(run.slice(at));
          s.firstAscii = transliterated(s.first);
        }
      }
      c.states.push(s);
    }
    from.next[i] = s;
    return s;
  }

  const starts = (word, ascii, prefix) =>
    word.startsWith(prefix) || (ascii !== null && ascii.startsWith(prefix));

  function nameMatches(c, query) {
    let s = start(c);
    retrying: for (;;) {
      for (let i = 0; i < query.length; ++i) {
        if (i >= s.count) return false;
        if (starts(wordOf(s, i), asciiOf(s, i), query[i])) continue;
        s = retry(s, i);
        continue retrying;
      }
      return true;
    }
  }

  // Whether the words of a narrowing part start consecutive words of a region or country name.
  function wordsStart(part, name) {
    if (part.length === 0) return false;
    for (let first = 0; first + part.length <= name.folded.length; ++first) {
      let j = 0;
      while (j < part.length && starts(name.folded[first + j], name.ascii[first + j], part[j])) ++j;
      if (j === part.length) return true;
    }
    return false;
  }

  // For a part after a comma: whether it names a city's region or country. A single word may
  // also be the country's code of two letters a to z, one of the few other codes people write,
  // or the abbreviation of a state, province or territory; with `byCodeOnly` such a word names
  // only that country or region. Each region and country is read only when a city in it is
  // asked about, and then kept for the query.
  function narrowing(part, byCodeOnly) {
    const folded = words(part).folded;
    let code = null;
    let abbreviated = [];
    if (folded.length === 1) {
      code = table.aliases.get(folded[0]) ?? (/^[a-z]{2}$/.test(folded[0]) ? folded[0].toUpperCase() : null);
      abbreviated = table.regionAbbreviations.get(folded[0]) ?? [];
    }
    const abbreviates = code !== null || abbreviated.length > 0;
    const byWords = !(byCodeOnly && abbreviates);
    const { regions: regionNames, regionWords, countryWords, countryCodes, cityRegion, cityCountry } = table;
    const [kUnread, kNames, kNamesNot] = [0, 1, 2];
    const regions = new Uint8Array(regionWords.length); // each kUnread until read
    const countries = new Uint8Array(countryWords.length);
    return {
      abbreviates,
      names(city) {
        const r = cityRegion[city];
        const c = cityCountry[city];
        for (const [, country, region] of abbreviated) {
          if (countryCodes[c] === country && regionNames[r] === region) return true;
        }
        if (regions[r] === kUnread) {
          regions[r] = byWords && wordsStart(folded, regionWords[r]) ? kNames : kNamesNot;
        }
        if (regions[r] === kNames) return true;
        if (countries[c] === kUnread) {
          const named = code === countryCodes[c] || (byWords && wordsStart(folded, countryWords[c]));
          countries[c] = named ? kNames : kNamesNot;
        }
        return countries[c] === kNames;
      },
    };
  }

  function place(city) {
    const t = table;
    const name = t.names[city];
    const region = t.regions[t.cityRegion[city]];
    const country = t.countries[t.cityCountry[city]];
    let label = name;
    if (region !== "" && region !== name) label += `, ${region}`;
    if (country !== "") label += `, ${country}`;
    return {
      name,
      region,
      country,
      countryCode: t.countryCodes[t.cityCountry[city]],
      zone: t.zones[t.cityZone[city]],
      latitude: t.latitude[city] / 1e5,
      longitude: t.longitude[city] / 1e5,
      population: t.population[city],
      label,
    };
  }

  function findPlaces(query, limit) {
    if (typeof query !== "string") {
      throw new TypeError(
        'findPlaces: the query must be a string, a city\'s name with its region or country after commas if wanted, such as "Springfield, Illinois"',
      );
    }
    if (limit === undefined || limit === null) {
      limit = Infinity;
    } else if (typeof limit !== "number" || !(limit >= 0) || (limit !== Infinity && !Number.isInteger(limit))) {
      throw new RangeError(
        "findPlaces: the limit must be a whole number of places, 0 or more (or left out for every match), such as 10",
      );
    }
    // A query velmora-cli could not have been given as UTF-8 finds nothing, as there, and so
    // does one longer than any city's name with its region and country could make.
    if (query.length > kMaxQueryBytes || utf8Length(query) > kMaxQueryBytes) return [];
    if (query.includes("\0") || !wellFormed(query)) return [];
    table ??= unpack();
    const parts = query.split(",").map((part) => part.replace(kPartEdges, ""));
    const found = matches(parts[0], parts.slice(1), limit);
    // A few cities have a comma in their own name ("Burgdorf, Hanover"): when the words after the
    // first comma name no region or country of a match, they are read as the rest of the name, so
    // that every label finds its city again.
    if (found.length === 0 && parts.length > 1 && limit > 0 && words(parts[0]).folded.length > 0) {
      return matches(`${parts[0]}, ${parts[1]}`, parts.slice(2), limit);
    }
    return found;
  }

  // The cities whose name the words of `nameText` start, as the library reads them, and whose
  // region or country each of the parts `narrowingParts` names; at most `limit`. A part that may
  // be a country's code or a region's abbreviation ("London, CA") names only that country or
  // region when some match lies in it (Canada or California, not Eastern Cape, whose name "ca"
  // starts), and otherwise a region or country its words start.
  function matches(nameText, narrowingParts, limit) {
    const parts = narrowingParts.filter((part) => part !== "");
    const byCode = parts.map((part) => narrowing(part, true));
    const found = matchesNarrowed(nameText, byCode, limit);
    if (found.length > 0 || limit === 0 || !byCode.some((part) => part.abbreviates)) return found;
    return matchesNarrowed(nameText, parts.map((part) => narrowing(part, false)), limit);
  }

  function matchesNarrowed(nameText, narrowings, limit) {
    const name = words(nameText).folded;
    if (name.length === 0) return [];
    const { order, cities } = table;
    const keyLetters = table.letters;
    const keyPairs = table.pairs;
    const firstLetters = letters(name[0]);
    const firstPairs = pairs(name[0]);
    const found = [];
    for (let n = 0; n < order.length && found.length < limit; ++n) {
      const city = order[n];
      if ((keyLetters[city] & firstLetters) !== firstLetters) continue;
      if ((keyPairs[city] & firstPairs) !== firstPairs) continue;
      const c = cities[city];
      if (!c.key.includes(name[0])) continue;
      if (narrowings.every((part) => part.names(city)) && nameMatches(c, name)) {
        found.push(place(city));
      }
    }
    return found;
  }

  function wellFormed(text) {
    return !/[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/.test(text);
  }

  // For the build, which checks the unpacked table against GLib's own words and order.
  function inspect() {
    table ??= unpack();
    const stateWords = (s) => Array.from({ length: s.count }, (_, i) => [wordOf(s, i), asciiOf(s, i)]);
    return { table, words, start, retry, place, stateWords };
  }

  return { findPlaces, inspect };
}
