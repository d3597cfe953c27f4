// The messages between the page and a program in its Worker (written by pre.js and library.js,
// which the program's build links in), both ways, and the one the page sends its service worker.
// The page, the glue and the service worker are all checked against these types.

/**
 * To the page:
 * @typedef {{type: 'out', bytes: Uint8Array}} OutMessage            output, sent whenever the program yields
 * @typedef {{type: 'read'}} ReadMessage                              the program waits for a line
 * @typedef {{type: 'discard'}} DiscardMessage                        keys typed ahead of the question are dropped
 * @typedef {{type: 'run', running: boolean}} RunMessage              a run, with its pause, starts or ends
 * @typedef {{type: 'readings', name: string, bytes: Uint8Array, cells: string[][]}} ReadingsMessage
 *   after each reading of a run: the results file a stop right there would write under name, and
 *   its table's cells row by row (the time, then each sensor's reading, as the file writes them
 *   without their padding)
 * @typedef {{type: 'file', role: 'results' | 'kept' | 'diagnostic', name: string, bytes: Uint8Array, cells?: string[][]}} FileMessage
 *   a file complete under name, the name as the program wrote it, sent once: a run's results
 *   under the student's name, the readings kept in the program's folder when no name took them,
 *   or a diagnostic file; the two results roles carry the table's cells as a ReadingsMessage does
 * @typedef {{type: 'pass', header: string[], row: string[]}} PassMessage
 *   needlefield's accepted pass, after its angle's output: the record's column names, and I, X and
 *   Y as typed with PHI as printed
 * @typedef {{type: 'exit', code: number | 'aborted', reason?: string}} ExitMessage
 *   the program ended ('aborted' after a fault, with the runtime's words)
 * @typedef {OutMessage | ReadMessage | DiscardMessage | RunMessage | ReadingsMessage | FileMessage | PassMessage | ExitMessage} ProgramMessage
 */

/**
 * To the program:
 * @typedef {{type: 'input', bytes: Uint8Array | null}} InputMessage  a line, or null for the end of input (Ctrl-D)
 * @typedef {{type: 'stop'}} StopMessage                              Stop or Ctrl-C during a run
 * @typedef {InputMessage | StopMessage} PageMessage
 */

/**
 * To the service worker: a new version waiting may take over, the page being idle.
 * @typedef {'take-over'} WorkerMessage
 */

export {};
