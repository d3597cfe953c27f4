// Connects a program to its page when it runs in a Worker, or to the process under Node:
// standard input and output, and the files it writes.
var labsimNode = typeof importScripts !== 'function';
var labsimPending = new Uint8Array(0);
// An end of input waits to be read: once after Ctrl-D on the page, for ever at a pipe's end.
var labsimEnd = false;
var labsimOutput = [];
var labsimFlushTimer = null;
var labsimWaiter = null;
var labsimSeen = {};
var labsimFs = labsimNode ? require('fs') : null;

Module.labsimSend = function (message, transfer) {
  if (!labsimNode) postMessage(message, transfer || []);
};

function labsimFlush() {
  labsimFlushTimer = null;
  if (!labsimOutput.length) return;
  var bytes = Uint8Array.from(labsimOutput);
  labsimOutput = [];
  if (labsimNode) labsimFs.writeSync(1, bytes);
  else Module.labsimSend({ type: 'out', bytes: bytes }, [bytes.buffer]);
}

function labsimPut(byte) {
  labsimOutput.push(byte);
  // The page sees the output whenever the program yields, not byte by byte.
  if (labsimFlushTimer === null) labsimFlushTimer = setTimeout(labsimFlush, 0);
}

// Every file written or replaced since the last look goes to the page, or beside the process.
function labsimSendFiles() {
  var folder = FS.cwd();
  FS.readdir(folder).forEach(function (name) {
    var path = folder + '/' + name;
    var stat = FS.stat(path);
    var stamp = stat.ino + ':' + stat.mtime.getTime() + ':' + stat.size;
    if (!FS.isFile(stat.mode) || labsimSeen[name] === stamp) return;
    labsimSeen[name] = stamp;
    var bytes = FS.readFile(path);
    if (labsimNode) labsimFs.writeFileSync(name, bytes);
    else Module.labsimSend({ type: 'file', name: name, bytes: bytes }, [bytes.buffer]);
  });
}

Module.labsimHasInput = function () {
  return labsimPending.length > 0 || labsimEnd;
};

Module.labsimTake = function (length) {
  if (!labsimPending.length) {
    if (!labsimNode) labsimEnd = false;
    return labsimPending;
  }
  var taken = labsimPending.subarray(0, length);
  labsimPending = labsimPending.subarray(taken.length);
  return taken;
};

Module.labsimWaitForInput = function (ready) {
  labsimFlush();
  labsimSendFiles();
  labsimWaiter = ready;
  Module.labsimSend({ type: 'read' });
};

Module.labsimDiscardInput = function () {
  // A pipe keeps its content, as on the native builds; only the page's keys are dropped.
  if (labsimNode) return;
  labsimPending = new Uint8Array(0);
  Module.labsimSend({ type: 'discard' });
};

if (labsimNode) {
  labsimPending = labsimFs.readFileSync(0);
  labsimEnd = true;
} else {
  onmessage = function (event) {
    // Seen at the run's next step: the program yields to the page between steps.
    if (event.data.type === 'stop') Module.labsimStopRequested = true;
    if (event.data.type !== 'input' || !labsimWaiter) return;
    if (event.data.bytes) labsimPending = event.data.bytes;
    else labsimEnd = true;
    var ready = labsimWaiter;
    labsimWaiter = null;
    ready();
  };
}

Module.preRun = [
  function () {
    FS.init(function () {
      return null;
    }, labsimPut, labsimPut);
  },
];

// A main that waited for input or slept returns later, to Asyncify alone: its status is the exit's.
Module.noInitialRun = true;
Module.onRuntimeInitialized = function () {
  callMain([]);
  if (typeof Asyncify !== 'undefined' && Asyncify.currData) {
    Asyncify.asyncPromiseHandlers = {
      resolve: function (code) {
        // exit() unwinds by throwing; caught here, it is no error of the Worker's.
        try {
          exit(code);
        } catch (error) {
          if (!(error instanceof ExitStatus)) throw error;
        }
      },
      reject: function (error) {
        abort(error);
      },
    };
  }
};

var labsimExited = false;
Module.onExit = function (code) {
  if (labsimExited) return;
  labsimExited = true;
  labsimFlush();
  labsimSendFiles();
  Module.labsimSend({ type: 'exit', code: code });
};

Module.onAbort = function () {
  labsimFlush();
  Module.labsimSend({ type: 'exit', code: 'aborted' });
};
