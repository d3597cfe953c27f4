// Each program runs in a Worker of its own, so that the page answers while it computes. Its
// script, written by the build, defines window.labsimProgram, whose source becomes the Worker.

/** @typedef {import('../program/messages.js').ProgramMessage} ProgramMessage */
/** @typedef {import('../program/messages.js').PageMessage} PageMessage */

/** @type {Record<string, Promise<string> | undefined>} */
const sources = {};

// What went wrong, in words a student understands, with what to do: the keys of its words.
export const PROBLEMS = {
  missing: 'problem.missing',
  damaged: 'problem.damaged',
  old: 'problem.old',
  memory: 'problem.memory',
};

export class ProgramProblem extends Error {
  /** @param {keyof typeof PROBLEMS} kind */
  constructor(kind) {
    super(kind);
    this.kind = kind;
  }
}

/**
 * Which problem an error of the browser's or the program's abort text points to.
 * @param {string} text
 * @returns {keyof typeof PROBLEMS | null}
 */
export function problemOf(text) {
  if (/memory|Cannot enlarge|allocation/i.test(text)) return 'memory';
  if (/CompileError|LinkError|SyntaxError|magic|section|validat|unexpected|invalid/i.test(text)) return 'damaged';
  return null;
}

/** @param {string} name */
function load(name) {
  const known = sources[name];
  if (known) return known;
  /** @type {Promise<string>} */
  const loading = new Promise((resolve, reject) => {
    if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') {
      reject(new ProgramProblem('old'));
      return;
    }
    const script = document.createElement('script');
    script.src = 'programs/' + name + '.js';
    // A script cut short never defines the program, and must not leave another's in its place.
    /** @type {any} */ (window).labsimProgram = undefined;
    script.onload = () => {
      // Each script's definition is taken once, so that a broken one finds none left by another.
      const program = /** @type {any} */ (window).labsimProgram;
      /** @type {any} */ (window).labsimProgram = undefined;
      if (typeof program !== 'function') {
        delete sources[name];
        script.remove();
        reject(new ProgramProblem('damaged'));
        return;
      }
      // A Blob URL starts from file:// too, where a Worker by URL is refused.
      const blob = new Blob(['(' + program.toString() + ')();'], { type: 'text/javascript' });
      resolve(URL.createObjectURL(blob));
    };
    script.onerror = () => {
      // The next start tries again: a stick pulled out and put back, a server back up.
      delete sources[name];
      script.remove();
      reject(new ProgramProblem('missing'));
    };
    document.head.appendChild(script);
  });
  sources[name] = loading;
  return loading;
}

/**
 * @param {string} name
 * @param {{message: (message: ProgramMessage) => void, failure: (text: string) => void}} on
 *   on.failure(text) if its Worker fails, with the browser's words
 */
export async function start(name, on) {
  const worker = new Worker(await load(name));
  worker.onmessage = (event) => on.message(event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    worker.terminate();
    on.failure(event.message || '');
  };
  /** @param {PageMessage} message */
  const send = (message) => worker.postMessage(message);
  return {
    /** @param {Uint8Array | null} bytes */
    input: (bytes) => send({ type: 'input', bytes }),
    stop: () => send({ type: 'stop' }),
    end: () => worker.terminate(),
  };
}
