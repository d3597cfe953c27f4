// needlefield's accepted passes, followed from what the student typed and what the program
// printed: the page keeps them as a table, so that no angle lives on the screen alone.

// The program's own words that tell how each typed number was taken.
const MARKERS = /Enter ([IXY]) \(|(Invalid entry\.)|(Coordinates out of range\.)|PHI = +(\S+) degrees|(Maximum current exceeded!)/g;

/**
 * Calls pass([I, X, Y, PHI]) for each accepted pass, I, X and Y as typed and PHI as printed.
 * @param {(row: string[]) => void} pass
 */
export function needleRecorder(pass) {
  let printed = '';
  /** @type {{text: string, line: number}[]} */
  let tokens = [];
  let lineCount = 0;
  /** @type {{ask?: string, invalid?: boolean, refused?: boolean, phi?: string}[]} */
  const events = [];
  /** @type {Record<string, string>} */
  let current = {};
  /** @type {{text: string, line: number} | null} */
  let last = null;

  // Each question takes the next number typed, across line ends, as the program reads it.
  function follow() {
    while (events.length) {
      const event = events[0];
      if (event.ask) {
        if (!tokens.length) return;
        last = /** @type {{text: string, line: number}} */ (tokens.shift());
        current[event.ask] = last.text;
      } else if (event.invalid) {
        // The program drops the rest of the line that held the bad entry.
        const line = last ? last.line : -1;
        tokens = tokens.filter((token) => token.line !== line);
      } else if (event.phi !== undefined) {
        pass([current.I, current.X, current.Y, event.phi]);
        current = {};
      } else {
        current = {};
      }
      events.shift();
    }
  }

  return {
    /** @param {string | null} line  a line handed to the program; null is the end of input */
    typed(line) {
      if (line === null) return;
      const number = lineCount++;
      for (const text of line.split(/[ \t\n\v\f\r]+/)) if (text) tokens.push({ text, line: number });
      follow();
    },
    /** @param {string} text  the program's output, in any pieces */
    printed(text) {
      printed += text;
      let end = 0;
      for (const match of printed.matchAll(MARKERS)) {
        if (match[1]) events.push({ ask: match[1] });
        else if (match[2]) events.push({ invalid: true });
        else if (match[4]) events.push({ phi: match[4] });
        else events.push({ refused: true });
        end = (match.index || 0) + match[0].length;
      }
      // A marker cut between two pieces is kept whole for the next.
      printed = printed.slice(end).slice(-60);
      follow();
    },
  };
}
