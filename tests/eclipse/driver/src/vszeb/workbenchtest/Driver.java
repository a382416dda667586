package vszeb.workbenchtest;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.concurrent.Callable;
import java.util.concurrent.atomic.AtomicReference;

import org.eclipse.core.resources.IFile;
import org.eclipse.core.resources.IProject;
import org.eclipse.core.resources.IResource;
import org.eclipse.core.resources.ResourcesPlugin;
import org.eclipse.core.runtime.NullProgressMonitor;
import org.eclipse.debug.core.DebugPlugin;
import org.eclipse.debug.core.ILaunch;
import org.eclipse.debug.core.ILaunchConfiguration;
import org.eclipse.debug.core.ILaunchConfigurationWorkingCopy;
import org.eclipse.debug.core.ILaunchManager;
import org.eclipse.debug.core.model.IProcess;
import org.eclipse.debug.ui.DebugUITools;
import org.eclipse.jface.text.IDocument;
import org.eclipse.jface.text.IRegion;
import org.eclipse.jface.text.ITextSelection;
import org.eclipse.jface.viewers.StructuredSelection;
import org.eclipse.swt.widgets.Control;
import org.eclipse.swt.widgets.Display;
import org.eclipse.swt.widgets.Label;
import org.eclipse.swt.widgets.Shell;
import org.eclipse.ui.IEditorPart;
import org.eclipse.ui.IStartup;
import org.eclipse.ui.IViewPart;
import org.eclipse.ui.IWorkbenchPage;
import org.eclipse.ui.PlatformUI;
import org.eclipse.ui.console.IConsole;
import org.eclipse.ui.console.IHyperlink;
import org.eclipse.ui.console.TextConsole;
import org.eclipse.ui.part.ISetSelectionTarget;
import org.eclipse.ui.texteditor.ITextEditor;
import org.osgi.framework.Bundle;
import org.osgi.framework.BundleException;
import org.osgi.framework.FrameworkUtil;

/**
 * Drives the real workbench once it is up, as a person would: a project
 * selected in the Project Explorer, the shipped External Tools configurations
 * run from it, the Console read, its links followed. Every check writes
 * "PASS name" or "FAIL name: why" to result.txt in the folder that the
 * property vszeb.test.out names; "done" there says the driver has finished.
 */
public class Driver implements IStartup {
    private final List<String> results = new ArrayList<>();
    private Path out;

    @Override
    public void earlyStartup() {
        out = Paths.get(System.getProperty("vszeb.test.out"));
        try {
            run();
        } catch (Throwable t) {
            fail("driver", t.toString());
            t.printStackTrace();
        } finally {
            try {
                Files.write(out.resolve("result.txt"), results);
                Files.write(out.resolve("done"), new byte[0]);
            } catch (Exception e) {
                e.printStackTrace();
            }
        }
    }

    private void check(boolean ok, String name, String why) {
        results.add(ok ? "PASS " + name : "FAIL " + name + ": " + why);
    }

    private void fail(String name, String why) { check(false, name, why); }

    private static <T> T ui(Callable<T> c) throws Exception {
        AtomicReference<T> r = new AtomicReference<>();
        AtomicReference<Exception> e = new AtomicReference<>();
        Display.getDefault().syncExec(() -> {
            try { r.set(c.call()); } catch (Exception x) { e.set(x); }
        });
        if (e.get() != null) throw e.get();
        return r.get();
    }

    private void run() throws Exception {
        // A bundle that cannot resolve would quietly take its part of the
        // workbench away: name every one.
        List<String> unresolved = new ArrayList<>();
        for (Bundle b : FrameworkUtil.getBundle(Driver.class).getBundleContext().getBundles()) {
            if (b.getState() != Bundle.INSTALLED) continue;
            String why = "";
            try { b.start(); } catch (BundleException e) { why = " (" + e.getMessage().replace('\n', ' ') + ")"; }
            if (b.getState() == Bundle.INSTALLED) unresolved.add(b.getSymbolicName() + why);
        }
        check(unresolved.isEmpty(), "bundles-resolved", "unresolved bundles: " + unresolved);

        NullProgressMonitor pm = new NullProgressMonitor();
        IProject project = ResourcesPlugin.getWorkspace().getRoot().getProject("Demo");
        if (!project.exists()) project.create(pm);
        project.open(pm);
        project.refreshLocal(IResource.DEPTH_INFINITE, pm);
        ui(() -> {
            IWorkbenchPage page = PlatformUI.getWorkbench().getActiveWorkbenchWindow().getActivePage();
            IViewPart v = page.showView("org.eclipse.ui.navigator.ProjectExplorer");
            page.activate(v);
            ((ISetSelectionTarget) v).selectReveal(new StructuredSelection(project));
            return null;
        });
        Thread.sleep(500);

        // Set first, so that the Report's Console is the one left in view.
        String set = launch(project, "ZEB++ Set.launch", System.getProperty("vszeb.test.setScript"));
        check(set.contains("\nzebwrap: builds in ") && set.startsWith("Working at " + project.getLocation().toOSString() + "\n"),
              "set-lines-in-console", "console: " + set.replace("\n", "\\n"));

        String report = launch(project, "ZEB++ Report.launch", System.getProperty("vszeb.test.reportScript"));
        String expected = new String(Files.readAllBytes(Paths.get(System.getProperty("vszeb.test.expected"))), StandardCharsets.UTF_8);
        check(report.equals(expected), "report-lines-in-console-in-order", "console:\n" + report + "\nexpected:\n" + expected);
        Files.write(out.resolve("console.txt"), report.getBytes(StandardCharsets.UTF_8));
        checkLinks(lastConsole);
    }

    private TextConsole lastConsole;

    /** Runs a shipped configuration with its own UI script; returns its Console's text. */
    private String launch(IProject project, String file, String script) throws Exception {
        Path source = Paths.get(System.getProperty("vszeb.test.ide"), file);
        String xml = new String(Files.readAllBytes(source), StandardCharsets.UTF_8)
            .replaceAll("(ATTR_LOCATION\" value=\")[^\"]*", "$1" + System.getProperty("vszeb.test.program"));
        IFile lf = project.getFile(file);
        lf.create(new java.io.ByteArrayInputStream(xml.getBytes(StandardCharsets.UTF_8)), true, null);
        ILaunchConfiguration cfg = DebugPlugin.getDefault().getLaunchManager().getLaunchConfiguration(lf);
        ILaunchConfigurationWorkingCopy wc = cfg.getWorkingCopy();
        Map<String, String> env = new HashMap<>();
        env.put("VSZEB_SCRIPT", script);
        wc.setAttribute(ILaunchManager.ATTR_ENVIRONMENT_VARIABLES, env);
        ILaunchConfiguration run = wc.doSave();

        ILaunchManager lm = DebugPlugin.getDefault().getLaunchManager();
        // Eclipse removes terminated launches when a new one starts: look for the new one.
        java.util.Set<ILaunch> before = new java.util.HashSet<>(java.util.Arrays.asList(lm.getLaunches()));
        ui(() -> { DebugUITools.launch(run, ILaunchManager.RUN_MODE); return null; });
        ILaunch launch = null;
        for (long end = System.currentTimeMillis() + 60000; System.currentTimeMillis() < end; Thread.sleep(200)) {
            for (ILaunch l : lm.getLaunches()) if (!before.contains(l) && l.isTerminated()) launch = l;
            if (launch != null) break;
        }
        if (launch == null || launch.getProcesses().length == 0) { fail(file, "did not run to its end"); return ""; }
        IProcess proc = launch.getProcesses()[0];
        check("vszeb".equals(proc.getAttribute(IProcess.ATTR_PROCESS_TYPE)), file + " process-type",
              String.valueOf(proc.getAttribute(IProcess.ATTR_PROCESS_TYPE)));
        // The Console for a process is made a moment after the launch starts.
        IConsole console = null;
        for (long end = System.currentTimeMillis() + 10000; console == null && System.currentTimeMillis() < end; Thread.sleep(200))
            console = DebugUITools.getConsole(proc);
        if (!(console instanceof TextConsole)) { fail(file, "no console"); return ""; }
        TextConsole tc = (TextConsole) console;
        lastConsole = tc;
        // The Console takes the streams' last lines a moment after the process ends.
        String text = "";
        for (long end = System.currentTimeMillis() + 10000; System.currentTimeMillis() < end; Thread.sleep(300)) {
            String now = ui(() -> tc.getDocument().get());
            if (now.equals(text) && !now.isEmpty()) break;
            text = now;
        }
        return text;
    }

    /** Expected links, one a line: the linked text, a tab, and what following it shows. */
    private void checkLinks(TextConsole tc) throws Exception {
        List<String> expected = Files.readAllLines(Paths.get(System.getProperty("vszeb.test.links")), StandardCharsets.UTF_8);
        Thread.sleep(1500);
        IHyperlink[] links = ui(tc::getHyperlinks);
        if (!Boolean.getBoolean("vszeb.test.withPlugin")) {
            check(links.length == 0, "no-links-without-plugin", links.length + " links");
            return;
        }
        check(links.length == expected.size(), "one-link-per-untested-line", links.length + " links, " + expected.size() + " untested lines");
        // Sorted by place; the last one followed stays on screen for the picture.
        java.util.Arrays.sort(links, (a, b) -> tc.getRegion(a).getOffset() - tc.getRegion(b).getOffset());
        for (int i = 0; i < Math.min(links.length, expected.size()); i++) {
            String[] want = expected.get(i).split("\t");
            IRegion r = tc.getRegion(links[i]);
            String covered = ui(() -> tc.getDocument().get(r.getOffset(), r.getLength()));
            check(covered.equals(want[0]), "link-" + i + "-covers-the-file-name", "covers '" + covered + "', not '" + want[0] + "'");
            String shown = follow(links[i]);
            check(shown.equals(want[1]), "link-" + i + "-opens " + want[1], "shows " + shown);
        }
        if (links.length > 0) follow(links[0]);
    }

    /** Activates a link; tells the editor's file, line and selected text, or the error it gave. */
    private String follow(IHyperlink link) throws Exception {
        ui(() -> PlatformUI.getWorkbench().getActiveWorkbenchWindow().getActivePage().closeAllEditors(false));
        Display.getDefault().asyncExec(link::linkActivated);
        for (long end = System.currentTimeMillis() + 10000; System.currentTimeMillis() < end; Thread.sleep(200)) {
            String error = ui(() -> {
                for (Shell s : Display.getDefault().getShells()) {
                    if (s.isVisible() && "Open File".equals(s.getText())) {
                        String t = "error: " + labels(s);
                        s.close();
                        return t;
                    }
                }
                return null;
            });
            if (error != null) return error;
            String ed = ui(() -> {
                IEditorPart e = PlatformUI.getWorkbench().getActiveWorkbenchWindow().getActivePage().getActiveEditor();
                ITextEditor te = e == null ? null : e.getAdapter(ITextEditor.class);
                if (te == null) return null;
                IDocument doc = te.getDocumentProvider().getDocument(te.getEditorInput());
                ITextSelection s = (ITextSelection) te.getSelectionProvider().getSelection();
                return e.getEditorInput().getName() + ":" + (s.getStartLine() + 1) + ":" + doc.get(s.getOffset(), s.getLength()).trim();
            });
            if (ed != null) return ed;
        }
        return "nothing";
    }

    private static String labels(Control c) {
        if (c instanceof Label) return ((Label) c).getText();
        StringBuilder sb = new StringBuilder();
        if (c instanceof org.eclipse.swt.widgets.Composite)
            for (Control k : ((org.eclipse.swt.widgets.Composite) c).getChildren()) sb.append(labels(k));
        return sb.toString();
    }
}
