// Markdown bundled as text (esbuild's text loader), for the translators' page.
declare module '*.md' {
  const text: string;
  export default text;
}
