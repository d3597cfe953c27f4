// The one place that tells the hosts apart: on the page the program waits to be started in a
// Worker of its own, which calls it with no argument; under Node it runs at once, and is told so.
(function (program) {
  if (typeof window === 'object') window.labsimProgram = program;
  else program(true);
})(function (labsimUnderNode) {
