// The set-up page of the teacher's site, composed.
import { copyText } from './clipboard.js';
import { pageLanguage } from './language.js';
import { setupForm } from './setup_form.js';

/** @type {import('./main.js').Site} */
const site = /** @type {any} */ (window).labsimSite;
const language = pageLanguage(site.id, '');
language.fill(document);
setupForm((id) => /** @type {HTMLElement} */ (document.getElementById(id)), site.programs, { copy: copyText, words: language.words });
