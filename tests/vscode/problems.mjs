// Runs one task of a tasks.json through Visual Studio Code's own code, as the
// editor does when the user runs the task, and prints as JSON the markers
// that its Problems panel would list and its editor would underline.
//
// usage: node problems.mjs TASKS_JSON FOLDER LABEL [PROGRAM]
//
// VS Code's code does the work: its JSONC reader and tasks.json parser, its
// resolver of ${...} variables, its problem-matcher parser, the collector
// that the terminal feeds each output line into, and its marker service.
// These come compiled from the npm registry (@codingame/monaco-vscode-api and
// -task-service-override, pinned in package-lock.json). Done here: starting
// the process (VS Code does it in a terminal), splitting its output into
// lines, and small stand-ins for the file, model and log services.
// PROGRAM, when given, runs instead of the task's command (the program that
// the task names is the installed one); the command is reported as resolved.
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';

const API = '@codingame/monaco-vscode-api/vscode/vs/';
const TASKS = '@codingame/monaco-vscode-task-service-override/vscode/vs/';
const load = (name) => import(name);
const { parse: parseJsonc } = await load(API + 'base/common/json');
const { URI } = await load(API + 'base/common/uri');
const { Event } = await load(API + 'base/common/event');
const { Platform } = await load(API + 'base/common/platform');
const { WorkspaceFolder } = await load(API + 'platform/workspace/common/workspace');
const { ValidationStatus } = await load(API + 'base/common/parsers');
const TaskConfig = await load(API + 'workbench/contrib/tasks/common/taskConfiguration');
const { RuntimeType } = await load(API + 'workbench/contrib/tasks/common/tasks');
const { ProblemMatcherRegistry } = await load(API + 'workbench/contrib/tasks/common/problemMatcher');
const { AbstractVariableResolverService } = await load(API + 'workbench/services/configurationResolver/common/variableResolver');
const { MarkerService } = await load(API + 'platform/markers/common/markerService');
const { MarkerSeverity } = await load(API + 'platform/markers/common/markers');
const { StartStopProblemCollector, ProblemHandlingStrategy } = await load(TASKS + 'workbench/contrib/tasks/common/problemCollectors');

const [tasksFile, folderArg, label, program] = process.argv.slice(2);
if (!tasksFile || !folderArg || !label) {
  console.error('usage: node problems.mjs TASKS_JSON FOLDER LABEL [PROGRAM]');
  process.exit(2);
}
const folderPath = path.resolve(folderArg);
const folder = new WorkspaceFolder({ uri: URI.file(folderPath), name: path.basename(folderPath), index: 0 });
const fail = (...what) => { console.error('problems.mjs:', ...what); process.exit(2); };

// tasks.json as VS Code reads it: JSON with comments, then its task parser.
const complaints = [];
const reporter = {
  status: new ValidationStatus(),
  info: () => {},
  warn: (m) => complaints.push('warning: ' + m),
  error: (m) => complaints.push('error: ' + m),
  fatal: (m) => complaints.push('fatal: ' + m),
};
const parseErrors = [];
const config = parseJsonc(fs.readFileSync(tasksFile, 'utf8'), parseErrors);
if (parseErrors.length) fail('tasks.json is not valid JSON with comments:', JSON.stringify(parseErrors));
const contextKeys = { contextMatchesRules: () => true, getContext: () => ({ getValue: () => true }) };
const parsed = TaskConfig.parse(folder, undefined, Platform.Linux, config, reporter,
  TaskConfig.TaskConfigSource.TasksJson, contextKeys);
if (complaints.length) fail('VS Code complains about tasks.json:', complaints.join('; '));
const task = parsed.custom.find((t) => t._label === label);
if (!task) fail('no task', JSON.stringify(label));

// The ${...} variables, filled in by VS Code's resolver for this folder.
class Resolver extends AbstractVariableResolverService {
  constructor() {
    super({
      getFolderUri: () => folder.uri, getWorkspaceFolderCount: () => 1,
      getConfigurationValue: () => undefined, getAppRoot: () => undefined, getExecPath: () => process.execPath,
      getFilePath: () => undefined, getWorkspaceFolderPathForFile: () => undefined,
      getSelectedText: () => undefined, getLineNumber: () => undefined, getColumnNumber: () => undefined,
      getExtension: () => undefined,
    }, undefined, Promise.resolve(process.env.HOME), Promise.resolve(process.env));
  }
}
const resolver = new Resolver();
const resolve = (value) => resolver.resolveAsync(folder, typeof value === 'string' ? value : value.value);

// Named matchers ($gcc ...) are VS Code's built-in ones; the registry's wait
// for extensions never ends without an extension host, so it is not awaited.
const matchers = [];
for (let m of task.configurationProperties.problemMatchers ?? []) {
  if (typeof m === 'string') m = ProblemMatcherRegistry.get(m.replace(/^\$/, ''));
  if (!m) continue;
  m = structuredClone(m);
  if (typeof m.filePrefix === 'string') m.filePrefix = await resolve(m.filePrefix);
  matchers.push(m);
}

const command = await resolve(task.command.name);
const args = await Promise.all((task.command.args ?? []).map(resolve));
const cwd = task.command.options?.cwd ? await resolve(task.command.options.cwd) : folderPath;
if (task.command.runtime !== RuntimeType.Process) fail('the task is not a process task');
const run = spawnSync(program ?? command, args, { cwd, encoding: 'utf8', timeout: 60000 });
if (run.error) fail(String(run.error));

// Each output line into VS Code's collector, its markers out of the marker service.
const markerService = new MarkerService();
const modelService = { onModelAdded: Event.None, onModelRemoved: Event.None, getModels: () => [] };
const fileService = {
  stat: async (uri) => { const s = fs.statSync(uri.fsPath); return { resource: uri, isFile: s.isFile(), isDirectory: s.isDirectory() }; },
  getProvider: () => undefined,
};
const logService = { trace() {}, debug() {}, info() {}, warn: console.warn, error: console.error };
if (matchers.length) {
  const collector = new StartStopProblemCollector(matchers, markerService, modelService,
    ProblemHandlingStrategy.Clean, fileService, logService);
  for (const line of (run.stdout ?? '').split(/\r?\n/)) if (line.length) collector.processLine(line);
  await collector.tail;
  collector.done();
  collector.dispose();
}

const severity = { [MarkerSeverity.Error]: 'error', [MarkerSeverity.Warning]: 'warning',
  [MarkerSeverity.Info]: 'info', [MarkerSeverity.Hint]: 'hint' };
const markers = markerService.read({}).map((m) => ({
  owner: m.owner, source: m.source, severity: severity[m.severity], resource: m.resource.toString(),
  path: m.resource.fsPath, line: m.startLineNumber, column: m.startColumn, endLine: m.endLineNumber,
  endColumn: m.endColumn, message: m.message,
}));
console.log(JSON.stringify({ command, args, cwd, status: run.status, stdout: run.stdout, stderr: run.stderr, markers }, null, 2));
