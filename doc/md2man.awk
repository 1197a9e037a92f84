# Turns the language reference (doc/language.md) into a man page, at build time.  It knows the Markdown
# that document uses: "#" to "####" headings, paragraphs, "- " lists, tables, fenced blocks (the examples'
# blocks get a label), `code`, ``code``, **bold** and *italics*.  The text must be ASCII.
#
#   awk -v out=FILE -v name=vorn-language -v section=7 -v version=1.12 -v date="December 2026" \
#       -v description="..." -f md2man.awk language.md

# One character of text; code also keeps its hyphens, quotes, carets and tildes as typed.
function char_of(c, code) {
    if (c == "\\")
        return "\\e"
    if (!code)
        return c
    if (c == "-")
        return "\\-"
    if (c == "'")
        return "\\(aq"
    if (c == "`")
        return "\\(ga"
    if (c == "^")
        return "\\(ha"
    if (c == "~")
        return "\\(ti"
    return c
}

function escaped(s, code,    r, i) {
    r = ""
    for (i = 1; i <= length(s); i++)
        r = r char_of(substr(s, i, 1), code)
    return r
}

# A line as roff text: a leading "." or "'" would make it a request.
function text_line(s) {
    if (s ~ /^[.']/)
        s = "\\&" s
    return s
}

# Markdown's inline forms in one line of prose.
function inline(s,    r, i, c, n, fence, rest, end, inner) {
    r = ""
    i = 1
    while (i <= length(s)) {
        c = substr(s, i, 1)
        if (c == "`") {
            n = 0
            while (substr(s, i + n, 1) == "`")
                n++
            fence = substr(s, i, n)
            rest = substr(s, i + n)
            end = index(rest, fence)
            if (end == 0)
                fail("unclosed code span: " s)
            inner = substr(rest, 1, end - 1)
            if (inner ~ /^ .* $/ && inner !~ /^ *$/)
                inner = substr(inner, 2, length(inner) - 2)
            r = r "\\fB" escaped(inner, 1) "\\fR"
            i += n + end - 1 + n
        } else if (substr(s, i, 2) == "**") {
            end = index(substr(s, i + 2), "**")
            if (end == 0)
                fail("unclosed bold text: " s)
            r = r "\\fB" inline(substr(s, i + 2, end - 1)) "\\fR"
            i += end + 3
        } else if (c == "*") {
            end = index(substr(s, i + 1), "*")
            if (end == 0)
                fail("unclosed italics: " s)
            r = r "\\fI" inline(substr(s, i + 1, end - 1)) "\\fR"
            i += end + 1
        } else {
            r = r char_of(c, 0)
            i++
        }
    }
    return r
}

function fail(message) {
    printf "md2man.awk: line %d: %s\n", NR, message > "/dev/stderr"
    failed = 1
    exit 1
}

function emit(s) {
    print s > out
}

# Ends whatever block is open: a paragraph, a list or a table needs nothing but forgetting.
function end_block() {
    in_para = 0
    in_list = 0
    in_table = 0
}

function start_content() {
    if (!sections) {
        emit(".SH DESCRIPTION")
        sections = 1
    }
}

function end_function() {
    if (in_function) {
        emit(".RE")
        in_function = 0
    }
}

function heading_arg(s) {
    s = inline(s)
    gsub(/"/, "\\(dq", s)
    return "\"" s "\""
}

# The cells of a table row, in cells[1..n]; "\|" is a "|" within a cell.
function split_row(line, cells,    n, i, c, cell) {
    sub(/^[ ]*\|/, "", line)
    sub(/\|[ ]*$/, "", line)
    n = 0
    cell = ""
    for (i = 1; i <= length(line); i++) {
        c = substr(line, i, 1)
        if (c == "\\" && substr(line, i + 1, 1) == "|") {
            cell = cell "|"
            i++
        } else if (c == "|") {
            cells[++n] = cell
            cell = ""
        } else {
            cell = cell c
        }
    }
    cells[++n] = cell
    for (i = 1; i <= n; i++) {
        sub(/^ +/, "", cells[i])
        sub(/ +$/, "", cells[i])
    }
    return n
}

# The label shown above a fenced block of an example.
function label_of(info,    words, n, rest) {
    n = split(info, words, " ")
    if (n == 0)
        return ""
    if (words[1] == "vorn") {
        rest = info
        sub(/^vorn */, "", rest)
        if (rest == "")
            rest = "page.vrn \\-"
        else
            rest = escaped(rest, 1)
        return "The page, run as \\fBvorn " rest "\\fR:"
    }
    if (words[1] == "output")
        return "What it writes:"
    if (words[1] == "messages")
        return n > 1 ? "Its messages (exit status " words[2] "):" : "Its messages:"
    if (words[1] == "file")
        return "The file \\fB" escaped(words[2], 1) "\\fR:"
    return ""
}

BEGIN {
    if (out == "")
        out = "/dev/stdout"
    upper = toupper(name)
    emit(".TH " escaped(upper, 1) " " section " \"" date "\" \"vorn\\-tovik " version "\" \"Miscellaneous Information Manual\"")
    emit(".SH NAME")
    emit(escaped(name, 1) " \\- " description)
}

/[^ -~\t]/ {
    fail("not ASCII")
}

in_code {
    if ($0 == "```") {
        if (code_lines)
            emit(".fi")
        else
            emit("(nothing)")
        emit(".RE")
        in_code = 0
    } else {
        if (!code_lines)
            emit(".nf")
        code_lines++
        emit(text_line(escaped($0, 1)))
    }
    next
}

/^```/ {
    end_block()
    start_content()
    label = label_of(substr($0, 4))
    emit(".PP")
    if (label != "")
        emit(label)
    emit(".RS 4")
    in_code = 1
    code_lines = 0
    next
}

/^# / {
    next
}

/^## / {
    end_block()
    end_function()
    emit(".SH " heading_arg(toupper(substr($0, 4))))
    sections = 1
    next
}

/^### / {
    end_block()
    end_function()
    emit(".SS " heading_arg(substr($0, 5)))
    next
}

/^#### / {
    end_block()
    end_function()
    emit(".PP")
    emit("\\fB" inline(substr($0, 6)) "\\fR")
    emit(".RS 4")
    in_function = 1
    next
}

/^[ \t]*$/ {
    end_block()
    next
}

/^\|/ {
    start_content()
    if ($0 ~ /^[| :-]+$/)
        next
    n = split_row($0, cells)
    if (!in_table) {
        # The header row: the rows below say enough by themselves.
        end_block()
        in_table = 1
        next
    }
    emit(".TP")
    emit(text_line(inline(cells[1])))
    first = 1
    for (i = 2; i <= n; i++) {
        if (cells[i] == "")
            continue
        if (!first)
            emit(".br")
        emit(text_line(inline(cells[i])))
        first = 0
    }
    next
}

/^- / {
    start_content()
    in_para = 0
    in_list = 1
    emit(".IP \\(bu 2")
    emit(text_line(inline(substr($0, 3))))
    next
}

{
    start_content()
    line = $0
    if (in_list) {
        sub(/^ +/, "", line)
    } else if (!in_para) {
        emit(".PP")
        in_para = 1
    }
    emit(text_line(inline(line)))
}

END {
    if (failed)
        exit 1
    if (in_code)
        fail("unclosed fenced block")
    end_function()
    emit(".SH SEE ALSO")
    emit(".BR vorn (1),")
    emit(".BR vorn\\-tovik (1),")
    emit(".BR make (1)")
}
