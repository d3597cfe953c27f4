// The banner of a page set up by an organiser's link: what is on, at a glance for an invigilator
// and read as a region by a screen reader, and what the link said that the page could not use.

/** @typedef {import('./settings.js').Settings} Settings */

const STYLES = { point: 'commas and decimal points', comma: 'semicolons and decimal commas' };

/**
 * @param {HTMLElement} box  a heading, a paragraph of what is on, a list for the warnings
 * @param {Settings} settings
 * @param {string[]} onSite
 */
export function roundBanner(box, settings, onSite) {
  const heading = /** @type {HTMLElement} */ (box.querySelector('h2'));
  const what = /** @type {HTMLElement} */ (box.querySelector('p'));
  const warnings = /** @type {HTMLElement} */ (box.querySelector('ul'));
  let student = '';

  function show() {
    heading.textContent = settings.exam ? 'Exam settings' : 'Settings of this class';
    const parts = [];
    if (settings.round) parts.push(settings.round);
    if (student) parts.push('Name: ' + student);
    if (settings.programs.join() !== onSite.join()) {
      parts.push((settings.programs.length === 1 ? 'Program: ' : 'Programs: ') + settings.programs.join(', '));
    }
    if (settings.exam) parts.push('No guides or links away from this page');
    if (settings.tables) parts.push('Tables: ' + STYLES[settings.tables]);
    if (settings.handin) parts.push('Hand in: ' + settings.handin);
    if (settings.wantedLang) parts.push('Language: English (' + settings.wantedLang + ' is not available)');
    parts.push('Set by the link you were given: nothing on this page changes them.');
    what.textContent = parts.join(' · ');
    warnings.textContent = '';
    for (const text of settings.warnings) {
      const item = document.createElement('li');
      item.textContent = 'Warning: ' + text;
      warnings.appendChild(item);
    }
    warnings.hidden = !settings.warnings.length;
  }
  box.hidden = !settings.given;
  show();
  return {
    /** @param {string} name  the student's, once given */
    named(name) {
      student = name;
      show();
    },
  };
}
