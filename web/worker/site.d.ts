// What the site's build writes above the service worker: its version and its files.
declare const SITE: { version: string; files: string[] };
