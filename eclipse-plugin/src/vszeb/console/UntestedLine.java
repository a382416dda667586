package vszeb.console;

import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * One line of vsZEB's untested report: the source file's name, padded with
 * blanks, "(", the line number right-justified in four places (wider when it
 * has more digits), "):" and the listing's own row. The row holds a lone "-"
 * among its first three words, and the word after it is the line number
 * again: that is what tells vsZEB's lines from a tool's message that merely
 * looks like "file(12):".
 */
public final class UntestedLine {
    private static final Pattern INTEGER = Pattern.compile("^[+-]?\\d+");
    private static final Pattern LOCATION = Pattern.compile("^(.*?) *\\( *(-?\\d+)\\):(.*)$");

    /** Where the name stands in the line, and the line it names. */
    public final int nameStart;
    public final int nameEnd;
    public final int line;

    private UntestedLine(int nameStart, int nameEnd, int line) {
        this.nameStart = nameStart;
        this.nameEnd = nameEnd;
        this.line = line;
    }

    /** The line's location, or null when it is not an untested line. */
    public static UntestedLine parse(String text) {
        Matcher m = LOCATION.matcher(text);
        if (!m.matches() || m.group(1).trim().isEmpty()) return null;
        int line;
        try {
            line = Integer.parseInt(m.group(2));
        } catch (NumberFormatException e) {
            return null;
        }
        String[] words = m.group(3).trim().split("\\s+");
        for (int i = 0; i < 3 && i + 1 < words.length; i++) {
            if (words[i].equals("-")) {
                if (leadingInteger(words[i + 1]) != line) return null;
                int start = 0;
                while (Character.isWhitespace(text.charAt(start))) start++;
                return new UntestedLine(start, m.end(1), line);
            }
        }
        return null;
    }

    /** The integer at the start of a word, as the listing's reader takes it: no digits is 0. */
    private static long leadingInteger(String word) {
        Matcher m = INTEGER.matcher(word);
        if (!m.find()) return 0;
        try {
            return Long.parseLong(m.group());
        } catch (NumberFormatException e) {
            return Long.MIN_VALUE;
        }
    }
}
