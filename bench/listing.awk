# The untested-listing rewrite written in awk, as the yardstick of the
# benchmark: the same output byte for byte on listings whose words are
# separated by blanks and tabs. Run it with the listing named twice:
#     awk -f listing.awk LISTING LISTING
# The first reading finds the width of the file-name column, the second
# writes the rows.

FNR == 1 {
    pass++
    if (pass == 2) {
        if (longest == 0) exit
        format = "%-" (longest - 24) "s(%4d):%s\n"
    }
}

# A line longer than the reading buffer ends the reading of this pass.
length($0) > 999 {
    if (pass == 1) { failed = 1; next }
    exit
}

pass == 1 {
    if (failed) next
    if (substr($0, 1, 24) == "MONITORED SOURCE FILE : ") {
        if (length($0) > longest) longest = length($0)
    } else if (substr($0, 1, 6) == "#line ") {
        if (length($0) + 18 > longest) longest = length($0) + 18
    }
    next
}

# Word holders keep the words of earlier lines where a line has fewer.
function hold(    n) {
    if (NF >= 1) w1 = $1
    if (NF >= 2) w2 = $2
    if (NF >= 3) w3 = $3
    if (NF >= 4) w4 = $4
}

function oneBlankLess(text) {
    if (substr(text, 1, 1) == " ") return substr(text, 2)
    return text
}

function headerName(    rest) {
    hold()
    rest = ""
    if (NF >= 4) {
        rest = $0
        sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+[^ \t]+[ \t]+[^ \t]+/, "", rest)
    }
    name = oneBlankLess(rest)
}

function directiveName(    rest) {
    if (NF >= 2) w2 = $2
    rest = ""
    if (NF >= 2) {
        rest = $0
        sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+/, "", rest)
    }
    rest = oneBlankLess(rest)
    if (substr(rest, 1, 1) == "\"") rest = substr(rest, 2, length(rest) - 2)
    name = rest
}

function lineNumber(word,    value) {
    if (!match(word, /^[+-]?[0-9]+/)) return 0
    value = substr(word, 1, RLENGTH) + 0
    if (value > 2147483647) return 2147483647
    if (value < -2147483648) return -2147483648
    return value
}

!started {
    if (NF >= 1) w1 = $1
    if (w1 != "MONITORED") next
    headerName()
    print
    started = 1
    next
}

{
    if ($0 == "") w1 = "INSTRUMENTATION"
    else if (NF >= 1) w1 = $1
}

w1 == "SUMMARY" { exit }
w1 == "MONITORED" { headerName(); printf "\n%s\n", $0; next }
w1 == "INSTRUMENTATION" || w1 == "HITS/TRUE" { next }
substr(w1, 1, 1) == "=" { next }
length(w1) > 1 && substr(w1, 1, 1) == "-" { next }
w1 == "#line" { directiveName(); next }

{
    hold()
    if (w1 == "-") number = w2
    else if (w2 == "-") number = w3
    else if (w3 == "-") number = w4
    else next
    printf format, name, lineNumber(number), $0
}
