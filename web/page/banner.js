// The banner of a page set up by an organiser's link: what is on, at a glance for an invigilator
// and read as a region by a screen reader, and what the link said that the page could not use.

/** @typedef {import('./settings.js').Settings} Settings */

/**
 * @param {HTMLElement} box  a heading, a paragraph of what is on, a list for the warnings
 * @param {Settings} settings
 * @param {string[]} onSite
 * @param {{words: (key: string, values?: Record<string, string | number>) => string, languageName: string}} page
 */
export function roundBanner(box, settings, onSite, page) {
  const { words } = page;
  const heading = /** @type {HTMLElement} */ (box.querySelector('h2'));
  const what = /** @type {HTMLElement} */ (box.querySelector('p'));
  const warnings = /** @type {HTMLElement} */ (box.querySelector('ul'));
  let student = '';

  function show() {
    heading.textContent = words(settings.exam ? 'round.exam' : 'round.class');
    const parts = [];
    if (settings.round) parts.push(settings.round);
    if (student) parts.push(words('round.name', { name: student }));
    if (settings.programs.join() !== onSite.join()) {
      parts.push(words('round.program', { count: settings.programs.length, programs: settings.programs.join(', ') }));
    }
    if (settings.exam) parts.push(words('round.noLinks'));
    if (settings.tables) parts.push(words(settings.tables === 'point' ? 'round.tablesPoint' : 'round.tablesComma'));
    if (settings.handin) parts.push(words('round.handIn', { note: settings.handin }));
    if (settings.wantedLang) parts.push(words('round.language', { language: page.languageName, wanted: settings.wantedLang }));
    parts.push(words('round.fixed'));
    what.textContent = parts.join(' · ');
    warnings.textContent = '';
    for (const warning of settings.warnings) {
      const item = document.createElement('li');
      item.textContent = words('round.warning', {
        text: 'more' in warning ? words('link.more', { count: warning.more })
          : words('link.ignored', { setting: warning.setting, why: words(warning.why, warning.values) }),
      });
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
