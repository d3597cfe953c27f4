// The names of emscripten's runtime that the glue uses, as the runtime defines them around it,
// and the one name the wrapper gives it: whether the host is a process under Node.

declare const labsimUnderNode: boolean;

type ProgramMessage = import('./messages.js').ProgramMessage;
type FileRole = import('./messages.js').FileMessage['role'];
// The runtime's own settings, then the glue's: pre.js defines them, library.js calls them.
interface LabsimModule {
  preRun: (() => void)[];
  noInitialRun: boolean;
  onRuntimeInitialized: () => void;
  onExit: (code: number) => void;
  onAbort: (what: unknown) => void;
  labsimHasInput: () => boolean;
  labsimTake: (length: number) => Uint8Array;
  labsimWaitForInput: (ready: () => void) => void;
  labsimDiscardInput: () => void;
  labsimSend: (message: ProgramMessage) => void;
  labsimReadings: (name: string, bytes: Uint8Array, cells: string) => void;
  labsimFile: (role: FileRole, name: string, bytes: Uint8Array, cells: string) => void;
  labsimPass: (header: string, row: string) => void;
  labsimStopRequested?: boolean;
}
declare const Module: LabsimModule;

declare const FS: {
  init(input: () => number | null, output: (byte: number) => void, error: (byte: number) => void): void;
};
declare class ExitStatus {
  status: number;
}
declare function ccall(name: string, returns: string, types: string[], args: unknown[], options?: { async?: boolean }): unknown;
declare function exit(code: number): void;
declare function UTF8ToString(pointer: number, length?: number): string;
declare const HEAPU8: Uint8Array;
declare const HEAP32: Int32Array;
declare const HEAPU32: Uint32Array;
declare const SYSCALLS: { doReadv(stream: unknown, iov: number, count: number): number; getStreamFromFD(fd: number): unknown };
declare const Asyncify: { handleSleep(start: (wakeUp: (value: number) => void) => void): number };
declare const LibraryManager: { library: object };
// The calls of library.js, as the platform units declare them: pointers and lengths are numbers.
interface LabsimLibrary {
  fd_read__deps: string[];
  fd_read(fd: number, iov: number, count: number, read: number): number;
  labsim_discard_input(): void;
  labsim_stop_requested(): number;
  labsim_forget_stop(): void;
  labsim_readings(name: number, nameLength: number, bytes: number, length: number, cells: number, cellsLength: number): void;
  labsim_hand_over_file(role: number, name: number, nameLength: number, bytes: number, length: number,
    cells: number, cellsLength: number): void;
  labsim_hand_over_pass(header: number, headerLength: number, row: number, rowLength: number): void;
  labsim_run_event(running: number): void;
}
declare function mergeInto(library: object, functions: LabsimLibrary): void;
// Under Node only.
declare module 'fs' {
  export function writeSync(fd: number, bytes: Uint8Array): number;
  export function writeFileSync(name: string, bytes: Uint8Array): void;
  export function readFileSync(fd: number): Uint8Array;
}
declare module 'path' {
  export function basename(name: string): string;
}
