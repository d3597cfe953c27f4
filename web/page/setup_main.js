// The set-up page of the teacher's site, composed.
import { setupForm } from './setup_form.js';
import { copyText } from './clipboard.js';

/** @type {import('./main.js').Site} */
const site = /** @type {any} */ (window).labsimSite;
setupForm((id) => /** @type {HTMLElement} */ (document.getElementById(id)), site.programs, { copy: copyText });
