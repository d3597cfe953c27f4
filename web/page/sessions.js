// The program sessions: one program at a time runs in its Worker, from its start to its end,
// and what it hands over (output, questions, runs, readings, files, needlefield's passes) goes to
// its console, the status, the wake lock and Files. A run's readings so far are kept after each
// reading and whenever the page may be put away, so that a closed page loses none.
import { fileName } from './files.js';
import { passTable } from './needle_table.js';
import { PROBLEMS, ProgramProblem, problemOf, start as startProgram } from './programs.js';

/** @typedef {import('../program/messages.js').ProgramMessage} ProgramMessage */
/** @typedef {import('./status.js').State} State */
/** @typedef {import('./store.js').Readings} Readings */
/**
 * @typedef {object} Session  one start of a program
 * @property {string} name
 * @property {State} state
 * @property {Awaited<ReturnType<typeof startProgram>> | null} handle
 * @property {(() => void)[]} waiters  resolved at the next question or the end
 * @property {string | null} [problem]
 * @property {Readings | null} readings  the running experiment's readings so far
 * @property {ReturnType<typeof passTable> | null} passes
 */

/**
 * @param {{titles: Record<string, string>, consoles: import('./consoles.js').Consoles,
 *   files: ReturnType<typeof import('./files.js').labsimFiles>, notice: (text: string) => void,
 *   picture: ReturnType<typeof import('./picture.js').programPicture>,
 *   lifecycle: import('./lifecycle.js').Lifecycle, changed: () => void, focus: () => void,
 *   answer: ReturnType<typeof import('./answer_line.js').answerLine>,
 *   voice: ReturnType<typeof import('./voice.js').programVoice>, words: import('./words.js').Words}} page
 *   changed: called whenever what the bar shows may have changed; focus: the keyboard goes to the
 *   program, in the terminal or on the answer line
 */
export function programSessions(page) {
  const { titles, consoles, files, words } = page;
  /** @type {Session | null} */
  let live = null;
  const running = () => !!live && (live.state === 'running' || live.state === 'stopping');

  /** @param {Session} session */
  function keepReadings(session) {
    if (session.readings) files.keepReadings(session.readings);
  }
  // The heartbeat tells the site's other tabs that this page still holds its readings, during the
  // run and while it asks for another name after a failed write.
  setInterval(() => live && keepReadings(live), files.heartbeat);
  page.lifecycle.leaving(() => live && keepReadings(live));

  /** @param {string} name */
  async function start(name) {
    const terminal = consoles.of(name);
    if (terminal.hasText()) {
      terminal.write('\r\n\x1b[2m' + words('terminal.startedAgain', { program: name, time: new Date().toLocaleTimeString(document.documentElement.lang) }) +
        '\x1b[0m\r\n\r\n');
    }
    /** @type {Session} */
    const session = { name, state: 'starting', handle: null, waiters: [], readings: null, passes: null };
    live = session;
    page.voice.reset();
    page.notice('');
    page.changed();
    let handle;
    try {
      handle = await startProgram(name, {
        message: (message) => receive(session, message),
        failure: (text) => session.state === 'ended' || end(session, words('problem.stopped', {
          program: titles[name], why: words('problem.browserSaid', {
            why: words(PROBLEMS[problemOf(text) || 'damaged'], { name }), text: text || words('problem.browserError') }),
        })),
      });
    } catch (error) {
      end(session, words('problem.cannotStart', { program: titles[name], why: error instanceof ProgramProblem
        ? words(PROBLEMS[error.kind], { name }) : words('problem.reload', { error: String(error) }) }));
      return;
    }
    if (live !== session) {
      handle.end();
      return;
    }
    session.handle = handle;
    session.state = 'working';
    terminal.accept(true);
    page.focus();
    page.changed();
  }

  /**
   * @param {Session} session
   * @param {string | null} problem
   */
  function end(session, problem) {
    if (session.handle) session.handle.end();
    session.state = 'ended';
    session.problem = problem;
    // Readings that never reached their file become it, as a console's closed window would leave.
    if (session.readings) {
      const { name, kept } = files.settle(session.readings);
      session.readings = null;
      files.told(name, kept);
    }
    consoles.of(session.name).accept(false);
    if (live === session) page.answer.ended();
    session.waiters.splice(0).forEach((resolve) => resolve());
    if (live === session) page.changed();
  }

  /**
   * @param {Session} session
   * @param {ProgramMessage} message
   */
  function receive(session, message) {
    const terminal = consoles.of(session.name);
    if (message.type === 'out') {
      page.voice.printed(message.bytes);
      terminal.write(message.bytes);
    } else if (message.type === 'read') {
      session.state = 'asking';
      session.waiters.splice(0).forEach((resolve) => resolve());
      page.answer.ask(page.voice.asked());
      terminal.ask();
    } else if (message.type === 'discard') {
      terminal.discard();
    } else if (message.type === 'run') {
      page.voice.run(message.running);
      if (message.running) page.answer.running();
      if (message.running) session.state = 'running';
      else if (session.state === 'running' || session.state === 'stopping') session.state = 'working';
    } else if (message.type === 'readings') {
      session.readings = { page: '', name: message.name, time: Date.now(), bytes: message.bytes, cells: message.cells };
      keepReadings(session);
    } else if (message.type === 'file') {
      const name = fileName(message.name);
      // A run's results, under its name or kept after a failed write, hold the readings so far.
      const readings = message.role === 'diagnostic' ? null : session.readings;
      if (readings) session.readings = null;
      files.told(name, files.save(name, message.bytes, { cells: message.cells, readings }));
      if (message.role === 'diagnostic' && /\.svg$/.test(name)) page.picture.draw(session.name, message.bytes);
    } else if (message.type === 'pass') {
      if (!session.passes) session.passes = passTable(session.name, files, files.told);
      session.passes.add(message.header, message.row);
    } else if (message.type === 'exit') {
      const problem = message.code === 'aborted' ? problemOf(message.reason || '') : null;
      end(session, message.code !== 'aborted' ? null : words('problem.stopped', {
        program: titles[session.name],
        why: problem ? words('problem.kept', { why: words(PROBLEMS[problem], { name: session.name }) })
          : words('problem.internal', { reason: message.reason || words('problem.noDetail') }),
      }));
    }
    if (live === session) page.changed();
  }

  // As Ctrl-C on a console: the program writes the rows so far and asks its closing question.
  // Resolves once it has, or has ended.
  function stop() {
    const session = live;
    if (!session || !session.handle || !running()) return Promise.resolve();
    const done = new Promise((resolve) => session.waiters.push(() => resolve(undefined)));
    if (session.state === 'running') {
      session.state = 'stopping';
      session.handle.stop();
      page.changed();
    }
    return done;
  }

  return {
    start,
    stop,
    running,
    /** @returns {Session | null} */
    live: () => live,
    /** @param {Uint8Array | null} bytes  a line typed in the console, or null for its end */
    input(bytes) {
      if (!live || !live.handle) return;
      page.notice('');
      live.handle.input(bytes);
    },
    // Leaving the program: its session ends, and its readings so far become their file.
    leave() {
      if (live) end(live, null);
      live = null;
    },
  };
}
/** @typedef {ReturnType<typeof programSessions>} Sessions */
