'use strict';
// Each program runs in a Worker of its own, so that the page answers while it computes. Its
// script, written by the build, defines window.labsimProgram, whose source becomes the Worker.
window.labsimPrograms = (function () {
  const sources = {};

  function load(name) {
    if (sources[name]) return sources[name];
    sources[name] = new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = 'programs/' + name + '.js';
      script.onload = () => {
        // A Blob URL starts from file:// too, where a Worker by URL is refused.
        const blob = new Blob(['(' + window.labsimProgram.toString() + ')();'],
          { type: 'text/javascript' });
        resolve(URL.createObjectURL(blob));
      };
      script.onerror = () => {
        // The next start tries again: a stick pulled out and put back, a server back up.
        delete sources[name];
        script.remove();
        reject(new Error('its file programs/' + name + '.js could not be read'));
      };
      document.head.appendChild(script);
    });
    return sources[name];
  }

  // on.message(data) for each message of the program, on.failure(text) if its Worker fails.
  async function start(name, on) {
    const worker = new Worker(await load(name));
    worker.onmessage = (event) => on.message(event.data);
    worker.onerror = (event) => {
      event.preventDefault();
      worker.terminate();
      on.failure(event.message || 'an error in the browser');
    };
    return {
      input: (bytes) => worker.postMessage({ type: 'input', bytes }),
      stop: () => worker.postMessage({ type: 'stop' }),
      end: () => worker.terminate(),
    };
  }

  return { start };
})();
