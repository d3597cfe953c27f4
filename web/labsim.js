'use strict';
// The page: a menu of the programs, one terminal that behaves like a console window, each
// program in a Worker of its own, and the files the programs write, kept in the browser.
(function () {
  const titles = {
    rodheat: 'rodheat: the heated rod',
    needlefield: 'needlefield: the needle by a wire',
    'rodheat-profile': 'rodheat-profile: the rod\'s temperature profile',
  };
  const names = window.labsimProgramNames;
  const statusLine = document.getElementById('status');
  const restartButton = document.getElementById('restart');
  const encoder = new TextEncoder();

  const terminal = new Terminal({ convertEol: true, scrollback: 5000, fontSize: 15 });
  const fit = new FitAddon.FitAddon();
  terminal.loadAddon(fit);
  terminal.open(document.getElementById('terminal'));
  fit.fit();
  window.addEventListener('resize', () => fit.fit());
  // Tab leaves the terminal as it leaves any field, so that the keyboard alone reaches the rest.
  terminal.attachCustomKeyEventHandler((event) => event.key !== 'Tab');

  // --- the programs: each script defines window.labsimProgram, run in a Worker made from its source
  const sources = {};
  let worker = null;
  let current = null;
  let running = false;
  let reading = false;
  let partial = '';
  let keys = '';

  function loadProgram(name) {
    if (sources[name]) return Promise.resolve(sources[name]);
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = 'programs/' + name + '.js';
      script.onload = () => {
        // A Blob URL starts from file:// too, where a Worker by URL is refused.
        const blob = new Blob(['(' + window.labsimProgram.toString() + ')();'],
          { type: 'text/javascript' });
        sources[name] = URL.createObjectURL(blob);
        resolve(sources[name]);
      };
      script.onerror = reject;
      document.head.appendChild(script);
    });
  }

  function setStatus(text) {
    statusLine.textContent = text;
  }

  function stop() {
    if (worker) worker.terminate();
    worker = null;
    running = reading = false;
    partial = keys = '';
  }

  async function start(name) {
    stop();
    current = name;
    document.querySelectorAll('nav a').forEach((a) => {
      if (a.hash === '#' + name) a.setAttribute('aria-current', 'page');
      else a.removeAttribute('aria-current');
    });
    restartButton.hidden = true;
    document.getElementById('picture').hidden = true;
    terminal.reset();
    setStatus(titles[name] + ' is starting…');
    const url = await loadProgram(name);
    if (current !== name) return;
    worker = new Worker(url);
    worker.onmessage = (event) => receive(name, event.data);
    setStatus(titles[name] + ' is running. Type your answers in the terminal and press Enter.');
    terminal.focus();
  }

  function receive(name, message) {
    if (message.type === 'out') {
      terminal.write(message.bytes);
    } else if (message.type === 'read') {
      reading = true;
      pump();
    } else if (message.type === 'discard') {
      keys = '';
    } else if (message.type === 'run') {
      running = message.running;
      if (running) setStatus('The experiment is running: keys typed now are ignored.');
      else setStatus(titles[name] + ' is running.');
    } else if (message.type === 'file') {
      saveFile(message.name, message.bytes);
      if (name === 'rodheat-profile' && message.name === 'debug.svg') showPicture(message.bytes);
    } else if (message.type === 'exit') {
      stop();
      setStatus(titles[name] + ' has ended. Press "Start again" to run it once more.');
      restartButton.hidden = false;
      restartButton.focus();
    }
  }

  // A console's line editing: echo, Backspace, Enter hands over the line, Ctrl-D ends input.
  // Keys wait until the program asks, so that each answer shows after its question.
  function pump() {
    while (reading && keys.length) {
      const ch = keys[0];
      keys = keys.slice(1);
      if (ch === '\r' || ch === '\n') {
        terminal.write('\r\n');
        hand(partial + '\n');
        // A pasted Windows line end is one Enter, not two.
        if (ch === '\r' && keys[0] === '\n') keys = keys.slice(1);
      } else if (ch === '\x7f' || ch === '\b') {
        if (partial.length) {
          partial = Array.from(partial).slice(0, -1).join('');
          terminal.write('\b \b');
        }
      } else if (ch === '\x04') {
        hand(partial.length ? partial : null);
      } else if (ch >= ' ') {
        partial += ch;
        terminal.write(ch);
      }
    }
  }

  // null is the end of input.
  function hand(line) {
    reading = false;
    partial = '';
    worker.postMessage({ type: 'input', bytes: line === null ? null : encoder.encode(line) });
  }

  terminal.onData((data) => {
    // Arrow and function keys have no meaning here.
    if (!worker || data[0] === '\x1b') return;
    keys += data;
    pump();
  });

  restartButton.addEventListener('click', () => start(current));

  window.addEventListener('beforeunload', (event) => {
    if (!running) return;
    event.preventDefault();
    event.returnValue = '';
  });

  // --- the menu
  const menu = document.getElementById('programs');
  names.forEach((name) => {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = '#' + name;
    link.textContent = titles[name];
    item.appendChild(link);
    menu.appendChild(item);
  });
  function route() {
    const name = decodeURIComponent(location.hash.slice(1));
    if (names.includes(name)) start(name);
  }
  window.addEventListener('hashchange', route);

  // --- the files, kept in the browser's storage for this page until the student removes them
  const fileList = document.getElementById('files');
  const memory = [];
  let database = null;
  let nextKey = 1;

  function openDatabase() {
    return new Promise((resolve) => {
      let request;
      try {
        request = indexedDB.open('labsim', 1);
      } catch (error) {
        resolve(null);
        return;
      }
      request.onupgradeneeded = () => request.result.createObjectStore('files', { keyPath: 'name' });
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }

  function transaction(mode, work) {
    return new Promise((resolve, reject) => {
      const tx = database.transaction('files', mode);
      const result = work(tx.objectStore('files'));
      tx.oncomplete = () => resolve(result.result);
      tx.onerror = () => reject(tx.error);
    });
  }

  async function allFiles() {
    if (!database) return memory.slice();
    return transaction('readonly', (store) => store.getAll());
  }

  // A file of the same name replaces the one listed, as it would in a folder.
  async function saveFile(name, bytes) {
    // Plain bytes, not a Blob: WebKit keeps no Blob in the storage of a private window.
    const record = { name: name, time: Date.now(), key: nextKey++, bytes: bytes };
    const index = memory.findIndex((file) => file.name === name);
    if (index >= 0) memory.splice(index, 1);
    memory.push(record);
    if (database) {
      try {
        await transaction('readwrite', (store) => store.put(record));
      } catch (error) {
        showStorageNote('The browser refused to keep ' + name + ': it stays listed until the page is closed.');
        database = null;
      }
    }
    renderFiles();
  }

  async function removeFile(name) {
    const index = memory.findIndex((file) => file.name === name);
    if (index >= 0) memory.splice(index, 1);
    if (database) await transaction('readwrite', (store) => store.delete(name));
    renderFiles();
  }

  function showStorageNote(text) {
    document.getElementById('files-note').textContent = text;
  }

  // A link keeps its address while the list changes, so that a click during a change still works.
  let links = new Map();
  async function renderFiles() {
    const files = (await allFiles()).sort((a, b) => b.time - a.time || b.key - a.key);
    const kept = new Map();
    fileList.textContent = '';
    files.forEach((file) => {
      const id = file.name + '@' + file.time;
      const url = links.get(id) || URL.createObjectURL(new Blob([file.bytes]));
      kept.set(id, url);
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = url;
      link.download = file.name;
      link.textContent = file.name;
      const when = new Date(file.time).toLocaleString();
      const remove = document.createElement('button');
      remove.type = 'button';
      remove.textContent = 'Remove';
      remove.setAttribute('aria-label', 'Remove ' + file.name + ' from the list');
      remove.addEventListener('click', () => removeFile(file.name));
      item.append(link, ' — ' + file.bytes.length + ' bytes, ' + when, remove);
      fileList.appendChild(item);
    });
    links.forEach((url, id) => kept.has(id) || URL.revokeObjectURL(url));
    links = kept;
  }

  function showPicture(bytes) {
    const image = document.getElementById('picture-image');
    if (image.src) URL.revokeObjectURL(image.src);
    image.src = URL.createObjectURL(new Blob([bytes], { type: 'image/svg+xml' }));
    document.getElementById('picture').hidden = false;
  }

  openDatabase().then((opened) => {
    database = opened;
    if (!database) {
      showStorageNote('This browser keeps no files for this page: download each file before ' +
        'closing the page. Served from a web server, the page keeps them.');
    }
    renderFiles();
    route();
  });
})();
