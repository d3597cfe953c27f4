// The status line: one notice (a file saved, refused or kept), then what the program is doing.
// It is a live region, so it changes only when its words do.

/** @typedef {'starting' | 'working' | 'asking' | 'running' | 'stopping' | 'ended'} State */

/**
 * @param {HTMLElement} line
 * @param {Record<string, string>} titles
 */
export function statusLine(line, titles) {
  let notice = '';
  // What the page waits for before any program, said in place of one.
  let waiting = '';
  /** @type {{name: string, state: State, problem?: string | null} | null} */
  let program = null;

  function show() {
    let text = notice ? notice + ' ' : '';
    const title = program ? titles[program.name] : '';
    if (waiting) text += waiting;
    else if (!program) text += 'Choose a program above.';
    else if (program.problem) text += program.problem;
    else if (program.state === 'starting') text += title + ' is starting…';
    else if (program.state === 'working') text += title + ' is working…';
    else if (program.state === 'asking') text += title + ' is waiting for your answer: type it and press Enter.';
    else if (program.state === 'running') text += 'The experiment is running: Stop or Ctrl-C ends it and keeps the readings taken so far.';
    else if (program.state === 'stopping') text += 'Stopping the experiment: the readings taken so far are being written…';
    else text += title + ' has ended. Its text stays on screen; "Start again" runs it once more.';
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
