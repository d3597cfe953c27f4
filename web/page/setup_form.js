// The set-up page's form: the settings as ordinary controls, and from them the link, its QR
// code and the card to print. The link's words are the ones the students' page reads.
import { qrCode } from './qr.js';
import { LANGUAGES } from './languages.js';
import { HANDIN_LENGTH, ROUND_LENGTH, settingsQuery } from './settings.js';

/**
 * @param {(id: string) => HTMLElement} element
 * @param {{name: string}[]} programs  the site's
 * @param {{copy: (text: string) => Promise<boolean>, words: import('./words.js').Words}} page
 */
export function setupForm(element, programs, page) {
  const { words } = page;
  const onSite = programs.map((program) => program.name);
  const field = (/** @type {string} */ id) => /** @type {HTMLInputElement} */ (element(id));
  const base = field('base');
  const open = /** @type {HTMLSelectElement} */ (element('open'));
  const link = /** @type {HTMLAnchorElement} */ (element('link'));
  const qr = /** @type {HTMLImageElement} */ (element('qr'));
  field('round-name').maxLength = ROUND_LENGTH;
  field('handin').maxLength = HANDIN_LENGTH;
  // The students' page of this site, unless the teacher names another.
  base.value = new URL('index.html', location.href.split(/[?#]/)[0]).href;
  for (const { name } of programs) {
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.value = name;
    box.checked = true;
    label.append(box, ' ' + name + ': ' + words('program.' + name + '.title'));
    element('offered').appendChild(label);
    open.add(new Option(name, name));
  }
  const lang = /** @type {HTMLSelectElement} */ (element('lang'));
  for (const [code, { facts }] of Object.entries(LANGUAGES)) lang.add(new Option(facts.name, code));

  let made = '';
  function update() {
    const offered = [...element('offered').querySelectorAll('input')].filter((box) => box.checked).map((box) => box.value);
    const first = open.value;
    // The one opened first leads the list.
    const programsOffered = offered.length ? offered.filter((name) => name === first).concat(offered.filter((name) => name !== first)) : onSite;
    const checked = /** @type {HTMLInputElement | null} */ (document.querySelector('input[name="tables"]:checked'));
    const query = settingsQuery({
      programs: programsOffered, open: first && programsOffered.includes(first) ? first : null, exam: field('exam').checked,
      tables: checked && (checked.value === 'point' || checked.value === 'comma') ? checked.value : null,
      round: field('round-name').value, handin: field('handin').value, askName: field('ask-name').checked, lang: lang.value,
    }, onSite);
    made = base.value.split(/[?#]/)[0] + query;
    link.href = made;
    link.textContent = made;
    /** @type {HTMLAnchorElement} */ (element('open-link')).href = made;
    const code = qrCode(made);
    qr.src = 'data:image/svg+xml,' + encodeURIComponent(code.svg);
    qr.dataset.modules = String(code.modules);
    element('card-heading').textContent = field('round-name').value.trim() || words('setup.link');
    element('card-handin').textContent = words('files.handIn', { note: field('handin').value.trim() });
    element('card-handin').hidden = !field('handin').value.trim();
    element('card-local').hidden = !made.startsWith('file:');
  }
  element('settings').addEventListener('input', update);
  element('settings').addEventListener('change', update);
  element('settings').addEventListener('submit', (event) => event.preventDefault());
  element('copy').addEventListener('click', async () => {
    element('said').textContent = words((await page.copy(made)) ? 'setup.copied' : 'setup.notCopied');
  });
  element('print').addEventListener('click', () => window.print());
  update();
}
