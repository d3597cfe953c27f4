// The start page's list of programs, the menu that leads to each, and the guides, which open
// beside the page so that reading one never ends a run. A round offers the programs its link
// names, with no menu for one alone; in an exam, no guide and no link away from the page.

/** @typedef {{name: string, title: string, about: string}} Program */

/** @param {HTMLAnchorElement} link @param {string} title */
function besideThePage(link, title) {
  link.target = '_blank';
  link.rel = 'noopener';
  link.setAttribute('aria-label', title + ' (opens in a new tab)');
}

/**
 * @param {{menu: HTMLElement, blurbs: HTMLElement, guides: HTMLElement, intro: HTMLElement}} elements
 * @param {{programs: Program[], guides: {file: string, title: string}[]}} site  the programs offered
 * @param {boolean} exam
 */
export function siteMenu(elements, site, exam) {
  /** @type {HTMLElement} */ (elements.menu.parentElement).hidden = site.programs.length === 1;
  /** @type {HTMLElement} */ (elements.guides.parentElement).hidden = exam;
  site.programs.forEach(({ name, title, about }) => {
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
  if (!exam) site.guides.forEach((guide) => {
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.href = guide.file;
    link.textContent = guide.title;
    besideThePage(link, guide.title);
    item.appendChild(link);
    elements.guides.appendChild(item);
  });
  elements.intro.querySelectorAll('a[href$=".html"]').forEach((link) => (exam ? link.replaceWith(link.textContent || '')
    : besideThePage(/** @type {HTMLAnchorElement} */ (link), link.textContent || '')));

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
