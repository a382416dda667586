package vszeb.console;

import java.io.File;

import org.eclipse.jface.text.BadLocationException;
import org.eclipse.jface.text.IDocument;
import org.eclipse.ui.console.IPatternMatchListenerDelegate;
import org.eclipse.ui.console.PatternMatchEvent;
import org.eclipse.ui.console.TextConsole;

/**
 * Gives each untested line in vsZEB's Console one link over its file name.
 * Only the lines after "Adjusting the report to Console..." are the
 * rewritten listing; before it stand vsZEB's own lines and what zebpost
 * prints, which get none. Names that are not absolute are relative to the
 * directory vsZEB ran in, which its first line, "Working at ", names.
 * The console gives its matches in the order of its text, one delegate per
 * console.
 */
public class UntestedLines implements IPatternMatchListenerDelegate {
    private static final String WORKING_AT = "Working at ";
    private static final String ADJUSTING = "Adjusting the report to Console...";

    private TextConsole console;
    private File workingDir;
    private boolean listing;

    @Override
    public void connect(TextConsole c) {
        console = c;
        workingDir = null;
        listing = false;
    }

    @Override
    public void disconnect() {
        console = null;
    }

    @Override
    public void matchFound(PatternMatchEvent event) {
        TextConsole c = console;
        if (c == null) return;
        IDocument doc = c.getDocument();
        String text;
        try {
            text = doc.get(event.getOffset(), event.getLength());
        } catch (BadLocationException e) {
            return;
        }
        text = text.replaceAll("[\r\n]+$", "");
        if (!listing) {
            if (text.startsWith(WORKING_AT)) {
                workingDir = new File(text.substring(WORKING_AT.length()));
            } else if (text.equals(ADJUSTING)) {
                listing = true;
            }
            return;
        }
        UntestedLine u = UntestedLine.parse(text);
        if (u == null) return;
        String name = text.substring(u.nameStart, u.nameEnd);
        File file = new File(name);
        if (!file.isAbsolute() && workingDir != null) file = new File(workingDir, name);
        try {
            c.addHyperlink(new SourceLink(file, u.line), event.getOffset() + u.nameStart, name.length());
        } catch (BadLocationException e) {
            // The console was cleared meanwhile: nothing left to link.
        }
    }
}
