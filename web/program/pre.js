// Connects a program to its host: the page, when it runs in a Worker, or the process under Node,
// as wrap_begin.js tells. The messages between the page and a program, both ways, are described
// in messages.js.
/** @typedef {import('./messages.js').ProgramMessage} ProgramMessage */
/** @typedef {import('./messages.js').PageMessage} PageMessage */
/** @typedef {import('./messages.js').FileMessage} FileMessage */
/**
 * @typedef {object} Host
 * @property {(message: ProgramMessage, transfer?: Transferable[]) => void} send
 * @property {(bytes: Uint8Array) => void} output
 * @property {(message: FileMessage) => void} file
 * @property {boolean} endLasts  whether the end of input lasts, or ends one read only
 * @property {() => void} discard
 * @property {Uint8Array} [input]  all of it at once, where it is a pipe
 */
/** @type {Host} */
var labsimHost = (function () {
  if (!labsimUnderNode) {
    return {
      send: function (message, transfer) {
        postMessage(message, transfer || []);
      },
      output: function (bytes) {
        this.send({ type: 'out', bytes: bytes }, [bytes.buffer]);
      },
      file: function (message) {
        this.send(message, [message.bytes.buffer]);
      },
      // Ctrl-D ends one read; the page's next line may follow.
      endLasts: false,
      // Typed-ahead keys are the page's; it drops them itself.
      discard: function () {
        labsimPending = new Uint8Array(0);
        this.send({ type: 'discard' });
      },
    };
  }
  var fs = require('fs');
  var path = require('path');
  return {
    send: function () {},
    output: function (bytes) {
      fs.writeSync(1, bytes);
    },
    // The process's own folder stands for the page's Files, whatever folder of the program's
    // memory the file went to; nothing lands elsewhere on the real disk.
    file: function (message) {
      fs.writeFileSync(path.basename(message.name), message.bytes);
    },
    endLasts: true,
    // A pipe keeps its content, as on the native builds.
    discard: function () {},
    input: fs.readFileSync(0),
  };
})();

var labsimPending = labsimHost.input || new Uint8Array(0);
var labsimEnd = !!labsimHost.input;
/** @type {number[]} */
var labsimOutput = [];
/** @type {ReturnType<typeof setTimeout> | null} */
var labsimFlushTimer = null;
/** @type {(() => void) | null} */
var labsimWaiter = null;

function labsimFlush() {
  labsimFlushTimer = null;
  if (!labsimOutput.length) return;
  var bytes = Uint8Array.from(labsimOutput);
  labsimOutput = [];
  labsimHost.output(bytes);
}

/** @param {number} byte */
function labsimPut(byte) {
  labsimOutput.push(byte);
  // The page sees the output whenever the program yields, not byte by byte.
  if (labsimFlushTimer === null) labsimFlushTimer = setTimeout(labsimFlush, 0);
}

// A table as the program joins it: no cell holds a tab or a line end.
/** @param {string} text @returns {string[][]} */
function labsimCells(text) {
  return text ? text.split('\n').map(function (row) {
    return row.split('\t');
  }) : [];
}

Module.labsimHasInput = function () {
  return labsimPending.length > 0 || labsimEnd;
};

Module.labsimTake = function (length) {
  if (!labsimPending.length) {
    if (!labsimHost.endLasts) labsimEnd = false;
    return labsimPending;
  }
  var taken = labsimPending.subarray(0, length);
  labsimPending = labsimPending.subarray(taken.length);
  return taken;
};

Module.labsimWaitForInput = function (ready) {
  labsimFlush();
  labsimWaiter = ready;
  labsimHost.send({ type: 'read' });
};

Module.labsimDiscardInput = function () {
  labsimHost.discard();
};

// What the program printed before it reaches the host first.
Module.labsimSend = function (message) {
  labsimFlush();
  labsimHost.send(message);
};

// A run's readings so far; under Node the program's own file is all there is.
Module.labsimReadings = function (name, bytes, cells) {
  labsimHost.send({ type: 'readings', name: name, bytes: bytes, cells: labsimCells(cells) },
    [bytes.buffer]);
};

// A file complete under its final name, handed over once; results carry their table.
/**
 * @param {FileMessage['role']} role
 * @param {string} name
 * @param {Uint8Array} bytes
 * @param {string} cells
 */
Module.labsimFile = function (role, name, bytes, cells) {
  /** @type {FileMessage} */
  var message = { type: 'file', role: role, name: name, bytes: bytes };
  if (role !== 'diagnostic') message.cells = labsimCells(cells);
  labsimHost.file(message);
};

// needlefield's accepted pass, after the output that printed its angle.
Module.labsimPass = function (header, row) {
  labsimFlush();
  labsimHost.send({ type: 'pass', header: header.split('\t'), row: row.split('\t') });
};

// exit() ends the program by throwing; that is no error of the host's.
/** @param {unknown} error */
function labsimUnlessExit(error) {
  if (!(error instanceof ExitStatus)) throw error;
}

if (!labsimUnderNode) {
  /** @param {MessageEvent<PageMessage>} event */
  onmessage = function (event) {
    // Seen at the run's next step: the program yields to the page between steps.
    if (event.data.type === 'stop') Module.labsimStopRequested = true;
    if (event.data.type !== 'input' || !labsimWaiter) return;
    // Sent by the page's Stop: seen above.
    if (event.data.bytes) labsimPending = event.data.bytes;
    else labsimEnd = true;
    var ready = labsimWaiter;
    labsimWaiter = null;
    try {
      ready();
    } catch (error) {
      labsimUnlessExit(error);
    }
  };
}

Module.preRun = [
  function () {
    FS.init(function () {
      return null;
    }, labsimPut, labsimPut);
  },
];

// A main that waits for input or sleeps returns later; the asynchronous call gives its status
// then, and a main that never waits gives it at once.
Module.noInitialRun = true;
Module.onRuntimeInitialized = function () {
  var status;
  try {
    status = ccall('main', 'number', [], [], { async: true });
  } catch (error) {
    labsimUnlessExit(error);
    return;
  }
  Promise.resolve(status).then(function (code) {
    try {
      exit(/** @type {number} */ (code));
    } catch (error) {
      labsimUnlessExit(error);
    }
  }, labsimUnlessExit);
};

var labsimExited = false;
Module.onExit = function (code) {
  if (labsimExited) return;
  labsimExited = true;
  labsimFlush();
  labsimHost.send({ type: 'exit', code: code });
};

Module.onAbort = function (what) {
  labsimFlush();
  labsimHost.send({ type: 'exit', code: 'aborted', reason: String(what) });
};
