// The program's calls that reach its host (the page, or the process under Node): reading a line
// waits for it without blocking, and the web platform units' calls for typed-ahead keys, runs, a
// run's readings so far, finished files, needlefield's passes and the page's Stop. Tables come
// joined, cells by tabs and rows by line ends.
mergeInto(LibraryManager.library, {
  fd_read__deps: ['$SYSCALLS'],
  fd_read: function (fd, iov, iovcnt, pnum) {
    if (fd !== 0) {
      var num = SYSCALLS.doReadv(SYSCALLS.getStreamFromFD(fd), iov, iovcnt);
      HEAP32[pnum >> 2] = num;
      return 0;
    }
    var copy = function () {
      var total = 0;
      for (var i = 0; i < iovcnt; i++) {
        var ptr = HEAPU32[(iov + i * 8) >> 2];
        var len = HEAPU32[(iov + i * 8 + 4) >> 2];
        var got = Module.labsimTake(len);
        HEAPU8.set(got, ptr);
        total += got.length;
        if (got.length < len) break;
      }
      HEAP32[pnum >> 2] = total;
      return 0;
    };
    if (Module.labsimHasInput()) return copy();
    return Asyncify.handleSleep(function (wakeUp) {
      Module.labsimWaitForInput(function () {
        wakeUp(copy());
      });
    });
  },
  labsim_discard_input: function () {
    Module.labsimDiscardInput();
  },
  labsim_stop_requested: function () {
    return Module.labsimStopRequested ? 1 : 0;
  },
  labsim_forget_stop: function () {
    Module.labsimStopRequested = false;
  },
  labsim_readings: function (name, nameLength, bytes, length, cells, cellsLength) {
    Module.labsimReadings(UTF8ToString(name, nameLength), HEAPU8.slice(bytes, bytes + length),
      UTF8ToString(cells, cellsLength));
  },
  labsim_hand_over_file: function (role, name, nameLength, bytes, length, cells, cellsLength) {
    Module.labsimFile(/** @type {FileRole} */ (UTF8ToString(role)), UTF8ToString(name, nameLength),
      HEAPU8.slice(bytes, bytes + length), UTF8ToString(cells, cellsLength));
  },
  labsim_hand_over_pass: function (header, headerLength, row, rowLength) {
    Module.labsimPass(UTF8ToString(header, headerLength), UTF8ToString(row, rowLength));
  },
  labsim_run_event: function (running) {
    Module.labsimSend({ type: 'run', running: running !== 0 });
  },
});
