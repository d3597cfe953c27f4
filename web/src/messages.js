// The messages between the page and a program in its Worker (written by program_pre.js and
// program_library.js, which the program's build links in), both ways.

/**
 * To the page:
 * @typedef {{type: 'out', bytes: Uint8Array}} OutMessage            output, sent whenever the program yields
 * @typedef {{type: 'read'}} ReadMessage                              the program waits for a line
 * @typedef {{type: 'discard'}} DiscardMessage                        keys typed ahead of the question are dropped
 * @typedef {{type: 'run', running: boolean}} RunMessage              a run, with its pause, starts or ends
 * @typedef {{type: 'readings', name: string, bytes: Uint8Array}} ReadingsMessage
 *   after each reading of a run: the results file a stop right there would write under name
 * @typedef {{type: 'file', name: string, bytes: Uint8Array}} FileMessage  a file written or replaced since the last look
 * @typedef {{type: 'exit', code: number | 'aborted', reason?: string}} ExitMessage
 *   the program ended ('aborted' after a fault, with the runtime's words)
 * @typedef {OutMessage | ReadMessage | DiscardMessage | RunMessage | ReadingsMessage | FileMessage | ExitMessage} ProgramMessage
 */

/**
 * To the program:
 * @typedef {{type: 'input', bytes: Uint8Array | null}} InputMessage  a line, or null for the end of input (Ctrl-D)
 * @typedef {{type: 'stop'}} StopMessage                              Stop or Ctrl-C during a run
 * @typedef {InputMessage | StopMessage} PageMessage
 */

export {};
