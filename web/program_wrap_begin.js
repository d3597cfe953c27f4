// On the page the program waits to be started in a Worker of its own; under Node it runs.
(function (program) {
  if (typeof window === 'object') window.labsimProgram = program;
  else program();
})(function () {
