import { Terminal } from '@xterm/xterm';
import { FitAddon } from '@xterm/addon-fit';
import { copyText } from './clipboard.js';

// A console window in the page: an xterm.js terminal with a console's line editing, a font that
// shrinks until a whole table row fits, Ctrl-C that copies a selection, and its whole text.
/**
 * @param {HTMLElement} container
 * @param {number} widestRow  the columns the type must leave room for
 * @param {{line: (bytes: Uint8Array | null) => void, interrupt: () => void}} handlers
 */
export function labsimConsole(container, widestRow, handlers) {
  const largestFont = 15;
  const smallestFont = 8;
  const encoder = new TextEncoder();
  const terminal = new Terminal({
    convertEol: true, scrollback: 5000, fontSize: largestFont, screenReaderMode: true,
  });
  const fit = new FitAddon();
  terminal.loadAddon(fit);
  terminal.open(container);

  let accepting = false;
  let reading = false;
  let partial = '';
  let keys = '';
  let quietUntil = 0;

  function resize() {
    // A hidden terminal has no size to fit; it is fitted when shown.
    if (!container.offsetWidth) return;
    let size = largestFont;
    terminal.options.fontSize = size;
    let proposed = fit.proposeDimensions();
    while (proposed && proposed.cols < widestRow && size > smallestFont) {
      terminal.options.fontSize = --size;
      proposed = fit.proposeDimensions();
    }
    fit.fit();
  }

  // Whether xterm reads the key being pressed itself; the field's input that follows echoes it.
  let keyed = false;
  let composing = false;
  terminal.attachCustomKeyEventHandler((event) => {
    if (event.type !== 'keypress') keyed = event.type === 'keydown' && event.keyCode !== 229;
    // A phone's keyboard names no key (229) and then puts its text in the field: that input is
    // taken below, so xterm must not guess the text from the field as well.
    if (event.keyCode === 229) return false;
    // Tab leaves the terminal as it leaves any field, so that the keyboard alone reaches the rest.
    if (event.key === 'Tab') return false;
    // Ctrl-C copies a selection, as in the usual terminal programs; Ctrl-Shift-C only ever copies.
    if (event.ctrlKey && !event.altKey && (event.key === 'c' || event.key === 'C') &&
        (terminal.hasSelection() || event.shiftKey)) {
      if (event.type === 'keydown' && terminal.hasSelection()) copyText(terminal.getSelection()).then(() => terminal.focus());
      event.preventDefault();
      return false;
    }
    return true;
  });

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

  /** @param {string | null} line  null is the end of input */
  function hand(line) {
    reading = false;
    partial = '';
    handlers.line(line === null ? null : encoder.encode(line));
  }

  /** @param {string} data */
  function take(data) {
    if (!accepting) return;
    if (data === '\x03') {
      handlers.interrupt();
      return;
    }
    // Arrow and function keys have no meaning here.
    if (data[0] === '\x1b') return;
    // An Enter pressed twice on a button must not answer the program with an empty line.
    if (data === '\r' && !partial && !keys && performance.now() < quietUntil) return;
    keys += data;
    pump();
  }
  terminal.onData(take);

  // Text that comes with no key xterm reads: a phone's keyboard, dictation, a keyboard's paste.
  const field = /** @type {HTMLTextAreaElement} */ (terminal.textarea);
  field.addEventListener('compositionstart', () => { composing = true; });
  // xterm reads the composed text from the field a moment after the composition ends, together
  // with whatever the keyboard put after it by then.
  field.addEventListener('compositionend', () => setTimeout(() => { composing = false; }));
  field.addEventListener('input', (event) => {
    const echo = keyed || composing;
    keyed = false;
    if (echo || !(event instanceof InputEvent)) return;
    const data = { insertText: event.data, deleteContentBackward: '\x7f', insertLineBreak: '\r', insertParagraph: '\r' }[event.inputType];
    if (data) take(data);
  });

  // The text as the student sees it, scrollback included; a wrapped row is one line.
  function text() {
    const buffer = terminal.buffer.active;
    const lines = [];
    for (let i = 0; i < buffer.length; i++) {
      const line = buffer.getLine(i);
      if (!line) break;
      const next = buffer.getLine(i + 1);
      const part = line.translateToString(!(next && next.isWrapped));
      if (line.isWrapped && lines.length) lines[lines.length - 1] += part;
      else lines.push(part);
    }
    while (lines.length && lines[lines.length - 1] === '') lines.pop();
    return lines.join('\n') + '\n';
  }

  return {
    write: (/** @type {string | Uint8Array} */ data) => terminal.write(data),
    // From start to end of a program, keys are taken; before and after, they do nothing.
    accept: (/** @type {boolean} */ on) => {
      accepting = on;
      reading = false;
      partial = keys = '';
    },
    ask: () => {
      reading = true;
      pump();
    },
    discard: () => {
      keys = '';
    },
    /** @param {string} line  typed elsewhere (the answer line): taken as if typed here, then Enter */
    submit(line) {
      if (!accepting) return;
      keys += line + '\r';
      pump();
    },
    scrollToBottom: () => terminal.scrollToBottom(),
    hasText: () => text() !== '\n',
    text,
    resize,
    focus: () => terminal.focus(),
    // An Enter that pressed a button may come again, meant for the button; it is no answer.
    quiet: () => {
      quietUntil = performance.now() + 500;
    },
  };
}
