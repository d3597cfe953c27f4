// The status line: one notice (a file saved, refused or kept), then what the program is doing.
// It is a live region, so it changes only when its words do.

/** @typedef {'starting' | 'working' | 'asking' | 'running' | 'stopping' | 'ended'} State */

/**
 * @param {HTMLElement} line
 * @param {Record<string, string>} titles
 * @param {import('./words.js').Words} words
 */
export function statusLine(line, titles, words) {
  let notice = '';
  // What the page waits for before any program, said in place of one.
  let waiting = '';
  /** @type {{name: string, state: State, problem?: string | null} | null} */
  let program = null;

  function show() {
    let text = notice ? notice + ' ' : '';
    const title = program ? titles[program.name] : '';
    if (waiting) text += waiting;
    else if (!program) text += words('status.choose');
    else if (program.problem) text += program.problem;
    else text += words({ starting: 'status.programStarting', working: 'status.working', asking: 'status.asking',
      running: 'status.running', stopping: 'status.stopping', ended: 'status.ended' }[program.state], { program: title });
    if (line.textContent !== text) line.textContent = text;
  }

  return {
    /** @param {{name: string, state: State, problem?: string | null} | null} now */
    program(now) {
      // A run starting or stopping makes what was said before it old news.
      if (program && now && (now.state === 'running' || now.state === 'stopping') && program.state !== now.state) {
        notice = '';
      }
      program = now && { ...now };
      show();
    },
    /** @param {string} text  what the page waits for; empty once it has it */
    waitFor(text) {
      waiting = text;
      show();
    },
    /** @param {string} text */
    notice(text) {
      notice = text;
      show();
    },
  };
}
