package vszeb.console;

import java.io.File;

import org.eclipse.core.filesystem.EFS;
import org.eclipse.core.resources.IFile;
import org.eclipse.core.resources.IResource;
import org.eclipse.core.resources.ResourcesPlugin;
import org.eclipse.core.runtime.CoreException;
import org.eclipse.jface.dialogs.MessageDialog;
import org.eclipse.jface.text.BadLocationException;
import org.eclipse.jface.text.IDocument;
import org.eclipse.ui.IEditorPart;
import org.eclipse.ui.IWorkbenchPage;
import org.eclipse.ui.IWorkbenchWindow;
import org.eclipse.ui.PlatformUI;
import org.eclipse.ui.console.IHyperlink;
import org.eclipse.ui.ide.IDE;
import org.eclipse.ui.texteditor.ITextEditor;

/**
 * Opens a source file with a line selected and shown: the workspace's own
 * file when the file lies in a project, so that the editor is the one the
 * project uses, else the file from the file system.
 */
public class SourceLink implements IHyperlink {
    /** The caption and text the workbench's own Open File gives a missing file. */
    static final String NOT_FOUND_TITLE = "Open File";
    static final String NOT_FOUND = "File '%s' could not be found.";

    public final File file;
    public final int line;

    public SourceLink(File file, int line) {
        this.file = file;
        this.line = line;
    }

    @Override public void linkEntered() { }
    @Override public void linkExited() { }

    @Override
    public void linkActivated() {
        IWorkbenchWindow window = PlatformUI.getWorkbench().getActiveWorkbenchWindow();
        if (window == null) return;
        IWorkbenchPage page = window.getActivePage();
        if (page == null) return;
        if (!file.isFile()) {
            MessageDialog.openError(window.getShell(), NOT_FOUND_TITLE, String.format(NOT_FOUND, file.getPath()));
            return;
        }
        try {
            IEditorPart editor;
            IFile[] inWorkspace = ResourcesPlugin.getWorkspace().getRoot().findFilesForLocationURI(file.toURI());
            if (inWorkspace.length > 0) {
                // The tool may have written the file after the workspace last looked.
                inWorkspace[0].refreshLocal(IResource.DEPTH_ZERO, null);
                editor = IDE.openEditor(page, inWorkspace[0], true);
            } else {
                editor = IDE.openEditorOnFileStore(page, EFS.getLocalFileSystem().fromLocalFile(file));
            }
            ITextEditor text = editor == null ? null : editor.getAdapter(ITextEditor.class);
            if (text == null || line < 1) return;
            IDocument doc = text.getDocumentProvider().getDocument(text.getEditorInput());
            int l = Math.min(line, doc.getNumberOfLines()) - 1;
            text.selectAndReveal(doc.getLineOffset(l), doc.getLineLength(l));
        } catch (CoreException | BadLocationException e) {
            MessageDialog.openError(window.getShell(), NOT_FOUND_TITLE, e.getMessage());
        }
    }
}
