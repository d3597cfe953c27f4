// The start page's list of programs, the menu that leads to each, and the guides, which open
// beside the page so that reading one never ends a run. A round offers the programs its link
// names, with no menu for one alone; in an exam, no guide and no link away from the page.

/** @typedef {{name: string}} Program */
/** @typedef {{file: string, words: string, translations?: string[]}} Guide  translations: the languages it has besides English */

/**
 * @param {{menu: HTMLElement, blurbs: HTMLElement, guides: HTMLElement, intro: HTMLElement, programWords: HTMLAnchorElement}} elements
 *   programWords: the link beside the terminal to what the programs print, explained
 * @param {{programs: Program[], guides: Guide[]}} site  the programs offered
 * @param {boolean} exam
 * @param {{words: import('./words.js').Words, tag: string}} language
 */
export function siteMenu(elements, site, exam, language) {
  const { words } = language;
  /** @param {HTMLAnchorElement} link @param {string} title */
  function besideThePage(link, title) {
    link.target = '_blank';
    link.rel = 'noopener';
    link.setAttribute('aria-label', words('guide.opensBeside', { title }));
  }
  /** @param {Guide} guide  its page in the page's language, where it has one */
  const inLanguage = (guide) => (guide.translations && guide.translations.includes(language.tag)
    ? guide.file.replace(/\.html$/, '.' + language.tag + '.html') : guide.file);
  /** @type {HTMLElement} */ (elements.menu.parentElement).hidden = site.programs.length === 1;
  /** @type {HTMLElement} */ (elements.guides.parentElement).hidden = exam;
  site.programs.forEach(({ name }) => {
    const title = words('program.' + name + '.title');
    const about = words('program.' + name + '.about');
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = '#' + name;
    // A phone's narrow bar shows the name alone.
    const what = document.createElement('span');
    what.className = 'what';
    what.textContent = ': ' + title;
    link.append(name, what);
    item.appendChild(link);
    elements.menu.appendChild(item);
    const blurb = document.createElement('li');
    const strong = document.createElement('strong');
    strong.textContent = name;
    blurb.append(strong, ' ' + about);
    elements.blurbs.appendChild(blurb);
  });
  elements.programWords.href = 'program-words.' + language.tag + '.html';
  if (exam) elements.programWords.remove();
  else besideThePage(elements.programWords, elements.programWords.textContent || '');
  if (!exam) site.guides.forEach((guide) => {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = inLanguage(guide);
    link.textContent = words(guide.words);
    besideThePage(link, link.textContent);
    item.appendChild(link);
    elements.guides.appendChild(item);
  });
  const student = site.guides.find((guide) => guide.file === 'STUDENT-GUIDE.html');
  elements.intro.querySelectorAll('a[href$=".html"]').forEach((link) => {
    if (student) /** @type {HTMLAnchorElement} */ (link).href = inLanguage(student);
    if (exam) link.replaceWith(link.textContent || '');
    else besideThePage(/** @type {HTMLAnchorElement} */ (link), link.textContent || '');
  });

  return {
    /** @param {string | null} name  the program on screen, or the start page */
    mark(name) {
      elements.menu.querySelectorAll('a').forEach((a) => {
        if (a.hash === '#' + name) a.setAttribute('aria-current', 'page');
        else a.removeAttribute('aria-current');
      });
      elements.intro.hidden = name !== null;
    },
  };
}
