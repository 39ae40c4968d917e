// The web benchmarks' shared start: a web build folder served on a free local
// port, and Debian's Chromium, headless, from tests/web's packages.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { extname, join } from 'node:path';

const require = createRequire(new URL('../tests/web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');

// Serve `site`; resolves to { server, address } (the page's address, ending in '/').
export async function serve(site) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
  const server = createServer((request, response) => {
    const path = join(site, new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html'));
    try {
      const body = readFileSync(path);
      response.writeHead(200, { 'Content-Type': types[extname(path)] || 'application/octet-stream' }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  return { server, address: `http://127.0.0.1:${server.address().port}/` };
}

export const launch_chromium = () => puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'],
});
