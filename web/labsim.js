'use strict';
// The page: the start page and the menu, one terminal per program that keeps what it printed
// while the page is open, the status line and the buttons, and the way from one program to
// another without losing a reading.
(function () {
  const titles = {
    rodheat: 'rodheat: the heated rod',
    needlefield: 'needlefield: the needle by a wire',
    'rodheat-profile': 'rodheat-profile: the rod\'s temperature profile',
  };
  const blurbs = {
    rodheat: 'heats one end of a 30 cm rod with the power and for the time you choose, and ' +
      'records the temperature at up to five places along it while the experiment runs.',
    needlefield: 'gives the direction of a compass needle near a long straight wire, for the ' +
      'current you choose and the needle\'s position.',
    'rodheat-profile': 'draws the temperature along the whole rod over a fixed heating and ' +
      'cooling run, for the teacher.',
  };
  const site = window.labsimSite;
  const statusLine = document.getElementById('status');
  const stopButton = document.getElementById('stop');
  const restartButton = document.getElementById('restart');
  const saveButton = document.getElementById('save-screen');
  const intro = document.getElementById('intro');
  const terminals = document.getElementById('terminal');
  const picture = document.getElementById('picture');
  const files = window.labsimFiles(site.id);

  // The program on screen, and the one running in a Worker (the same one, or none).
  let shown = null;
  let live = null;
  const consoles = {};

  // --- the status line: what was saved last, then what the program is doing
  let saved = [];
  function showStatus() {
    let text = '';
    if (saved.length) {
      text = 'Saved ' + saved.join(' and ') + ': see Files. ';
      if (files.forgetsOnClose()) text += 'Download it now: this private window forgets it. ';
    }
    const title = live ? titles[live.name] : '';
    if (!live) text += 'Choose a program above.';
    else if (live.problem) text += live.problem;
    else if (live.state === 'starting') text += title + ' is starting…';
    else if (live.state === 'working') text += title + ' is working…';
    else if (live.state === 'asking') text += title + ' is waiting for your answer: type it and press Enter.';
    else if (live.state === 'running') text += 'The experiment is running: Stop or Ctrl-C ends it and keeps the readings taken so far.';
    else if (live.state === 'stopping') text += 'Stopping the experiment: the readings taken so far are being written…';
    else text += title + ' has ended. Its text stays on screen; "Start again" runs it once more.';
    // Unchanged words are not set again, so that a screen reader does not announce them again.
    if (statusLine.textContent !== text) statusLine.textContent = text;
    stopButton.hidden = !live || (live.state !== 'running' && live.state !== 'stopping');
    stopButton.disabled = !!live && live.state === 'stopping';
    restartButton.hidden = !live || live.state !== 'ended';
    saveButton.hidden = !shown;
  }

  function consoleFor(name) {
    if (consoles[name]) return consoles[name];
    const box = document.createElement('div');
    box.className = 'console';
    box.dataset.program = name;
    terminals.appendChild(box);
    consoles[name] = window.labsimConsole(box, {
      line: (bytes) => {
        if (!live || !live.handle) return;
        saved = [];
        live.handle.input(bytes);
      },
      interrupt: stop,
    });
    consoles[name].box = box;
    return consoles[name];
  }

  // --- a program's life: starting, asking, running, ended
  async function start(name) {
    const terminal = consoleFor(name);
    if (terminal.hasText()) {
      terminal.write('\r\n\x1b[2m--- ' + name + ' started again at ' +
        new Date().toLocaleTimeString() + ' ---\x1b[0m\r\n\r\n');
    }
    const session = { name, state: 'starting', handle: null, waiters: [] };
    live = session;
    saved = [];
    showStatus();
    let handle;
    try {
      handle = await window.labsimPrograms.start(name, {
        message: (message) => receive(session, message),
        failure: (text) => session.state === 'ended' || end(session, titles[name] + ' stopped ' +
          'because of ' + text + '. The files listed are kept; "Start again" runs it once more.'),
      });
    } catch (error) {
      end(session, titles[name] + ' could not be started: ' + error.message +
        '. Reload the page, or start it again.');
      return;
    }
    if (live !== session) {
      handle.end();
      return;
    }
    session.handle = handle;
    session.state = 'working';
    terminal.accept(true);
    terminal.focus();
    showStatus();
  }

  function end(session, problem) {
    if (session.handle) session.handle.end();
    session.state = 'ended';
    session.problem = problem;
    consoleFor(session.name).accept(false);
    session.waiters.splice(0).forEach((resolve) => resolve());
    if (live === session) showStatus();
  }

  function receive(session, message) {
    const terminal = consoleFor(session.name);
    if (message.type === 'out') {
      terminal.write(message.bytes);
    } else if (message.type === 'read') {
      session.state = 'asking';
      session.waiters.splice(0).forEach((resolve) => resolve());
      terminal.ask();
    } else if (message.type === 'discard') {
      terminal.discard();
    } else if (message.type === 'run') {
      if (message.running) session.state = 'running';
      else if (session.state === 'running') session.state = 'working';
    } else if (message.type === 'file') {
      saved.push(message.name);
      files.save(message.name, message.bytes);
      if (message.name === 'debug.svg') showPicture(message.bytes);
    } else if (message.type === 'exit') {
      end(session, message.code === 'aborted' ? titles[session.name] + ' stopped with an ' +
        'internal error. The files listed are kept; "Start again" runs it once more.' : null);
    }
    if (live === session) showStatus();
  }

  // As Ctrl-C on a console: the program writes the rows so far and asks its closing question.
  // Resolves once it has, or has ended.
  function stop() {
    const session = live;
    if (!session || (session.state !== 'running' && session.state !== 'stopping')) {
      return Promise.resolve();
    }
    const done = new Promise((resolve) => session.waiters.push(resolve));
    if (session.state === 'running') {
      session.state = 'stopping';
      session.handle.stop();
      showStatus();
    }
    return done;
  }

  stopButton.addEventListener('click', () => {
    stop();
    consoleFor(shown).focus();
  });
  restartButton.addEventListener('click', () => {
    if (shown && (!live || live.state === 'ended')) start(shown);
  });
  saveButton.addEventListener('click', () => {
    if (!shown) return;
    const time = new Date().toTimeString().slice(0, 8).split(':');
    const name = shown + '-screen-' + time[0] + 'h' + time[1] + 'm' + time[2] + 's.txt';
    saved = [name];
    files.save(name, new TextEncoder().encode(consoleFor(shown).text()));
    showStatus();
  });

  window.addEventListener('beforeunload', (event) => {
    if (!live || (live.state !== 'running' && live.state !== 'stopping')) return;
    event.preventDefault();
    event.returnValue = '';
  });

  function showPicture(bytes) {
    const image = document.getElementById('picture-image');
    if (image.src) URL.revokeObjectURL(image.src);
    image.src = URL.createObjectURL(new Blob([bytes], { type: 'image/svg+xml' }));
    picture.hidden = shown !== 'rodheat-profile';
  }

  // --- the start page, the menu and the way between programs
  const menu = document.getElementById('programs');
  const list = document.getElementById('program-blurbs');
  site.programs.forEach((name) => {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = '#' + name;
    link.textContent = titles[name];
    item.appendChild(link);
    menu.appendChild(item);
    const blurb = document.createElement('li');
    const strong = document.createElement('strong');
    strong.textContent = name;
    blurb.append(strong, ' ' + blurbs[name]);
    list.appendChild(blurb);
  });
  const guides = document.getElementById('guides');
  site.guides.forEach((guide) => {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = guide.file;
    link.textContent = guide.title;
    item.appendChild(link);
    guides.appendChild(item);
  });

  function show(name) {
    shown = name;
    document.querySelectorAll('#programs a').forEach((a) => {
      if (a.hash === '#' + name) a.setAttribute('aria-current', 'page');
      else a.removeAttribute('aria-current');
    });
    intro.hidden = name !== null;
    terminals.hidden = name === null;
    Object.keys(consoles).forEach((other) => { consoles[other].box.hidden = other !== name; });
    picture.hidden = name !== 'rodheat-profile' || !document.getElementById('picture-image').src;
    if (name === null) {
      showStatus();
      return;
    }
    consoleFor(name).box.hidden = false;
    consoleFor(name).resize();
    start(name);
  }

  const wanted = () => {
    const name = decodeURIComponent(location.hash.slice(1));
    return site.programs.includes(name) ? name : null;
  };
  let routing = false;
  async function route() {
    const name = wanted();
    if (routing || name === shown) return;
    if (live && (live.state === 'running' || live.state === 'stopping')) {
      if (!window.confirm('The experiment is still running. Stop it here, keep the readings ' +
        'taken so far in its results file, and leave?')) {
        // Declined: the address goes back to the running program, which never noticed.
        history.replaceState(null, '', shown ? '#' + shown : location.pathname);
        return;
      }
      routing = true;
      await stop();
      routing = false;
    }
    if (live) end(live, null);
    live = null;
    show(wanted());
  }
  window.addEventListener('hashchange', route);

  let resizing = null;
  window.addEventListener('resize', () => {
    clearTimeout(resizing);
    resizing = setTimeout(() => shown && consoleFor(shown).resize(), 50);
  });

  files.open().then(() => show(wanted()));
})();
