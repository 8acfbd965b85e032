#!/usr/bin/env python3
"""Turns one of Veltrix's Markdown pages into a man page, so that the page and the man page
never tell different stories.

    markdown-to-man.py PAGE.md NAME SECTION VERSION "SUMMARY" OUT.1[.gz]

The page's first heading is left out (NAME and SUMMARY make the NAME section); the text
before the first "##" heading becomes DESCRIPTION, each "##" heading a section and each "###"
heading a subsection; HTML comments are left out. It knows the Markdown these pages use: paragraphs, "-" lists, fenced
code, tables (each row becomes a tagged paragraph, its first cell the tag), `code`, **bold**,
*italic*, links (their text is kept) and images (left out). OUT ending in .gz is written
gzip-compressed, with no time stamp, as Debian keeps its man pages.
"""
import gzip
import re
import sys


def escape(text):
    """Escapes roff's backslash and the characters that start a request at a line's start."""
    text = text.replace("\\", "\\e")
    return text


def inline(text):
    """Markdown's inline marks as roff fonts; code and options in bold, with real minus signs."""
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)
    text = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", text)
    parts = re.split(r"(`[^`]*`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) >= 2:
            code = escape(part[1:-1]).replace("-", "\\-")
            out.append("\\fB" + code + "\\fR")
        else:
            part = escape(part)
            part = re.sub(r"\*\*([^*]+)\*\*", r"\\fB\1\\fR", part)
            part = re.sub(r"(?<![\w*])\*([^*\s][^*]*)\*(?![\w*])", r"\\fI\1\\fR", part)
            out.append(part)
    return "".join(out)


def text_lines(text):
    """Roff lines for running text: no line may start with a dot or an apostrophe."""
    lines = []
    for line in text.split("\n"):
        line = line.strip()
        if line.startswith((".", "'")):
            line = "\\&" + line
        lines.append(line)
    return "\n".join(lines)


def table_cells(row):
    # "\|" is a pipe inside a cell.
    cells = re.split(r"(?<!\\)\|", row.strip().strip("|"))
    return [cell.strip().replace("\\|", "|") for cell in cells]


def convert(markdown, name, section, version, summary):
    head = [
        '.TH "%s" "%s" "" "Veltrix %s" "Veltrix"' % (name.upper(), section, version),
        ".SH NAME",
        "%s \\- %s" % (name.replace("-", "\\-"), escape(summary)),
    ]
    body = []
    synopsis = []
    out = body
    lines = markdown.split("\n")
    i = 0
    started_description = False
    paragraph = []

    def flush():
        if paragraph:
            out.append(".PP")
            out.append(text_lines(inline(" ".join(paragraph))))
            paragraph.clear()

    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        if line.startswith("# "):
            i += 1
            continue
        if stripped.startswith("<!--"):
            # A note for the page's writers, not its readers.
            while i < len(lines) and "-->" not in lines[i]:
                i += 1
            i += 1
            continue
        if line.startswith("## ") or line.startswith("### "):
            flush()
            title = line.lstrip("#").strip()
            if line.startswith("## "):
                if title.lower() == "synopsis":
                    # A man page names its synopsis before it describes.
                    out = synopsis
                elif out is synopsis:
                    out = body
                out.append('.SH "%s"' % escape(re.sub(r"`", "", title)).upper())
            else:
                out.append('.SS "%s"' % escape(re.sub(r"`", "", title)))
            started_description = True
            i += 1
            continue
        if stripped and not started_description:
            out.append(".SH DESCRIPTION")
            started_description = True
        if not stripped:
            flush()
            i += 1
            continue
        if stripped.startswith("```"):
            flush()
            out.append(".PP")
            out.append(".RS 4")
            out.append(".nf")
            i += 1
            while i < len(lines) and not lines[i].strip().startswith("```"):
                code = escape(lines[i].rstrip()).replace("-", "\\-")
                out.append("\\&" + code if code else "")
                i += 1
            out.append(".fi")
            out.append(".RE")
            i += 1
            continue
        if stripped.startswith("|"):
            flush()
            header = table_cells(stripped)
            i += 1
            if i < len(lines) and re.match(r"^\s*\|[\s:|-]+\|\s*$", lines[i]):
                i += 1
            while i < len(lines) and lines[i].strip().startswith("|"):
                cells = table_cells(lines[i])
                out.append(".TP")
                out.append(text_lines(inline(cells[0])))
                row_text = []
                for heading, cell in zip(header[1:-1], cells[1:-1]):
                    row_text.append(inline("%s: %s" % (heading, cell)))
                    row_text.append(".br")
                row_text.append(inline(cells[-1]) if len(cells) > 1 else "")
                out.append("\n".join(text_lines(b) if b != ".br" else b for b in row_text))
                i += 1
            continue
        if re.match(r"^[-*] ", stripped):
            flush()
            item = [stripped[2:]]
            i += 1
            while i < len(lines) and lines[i].startswith("  ") and lines[i].strip() \
                    and not re.match(r"^[-*] ", lines[i].strip()) and not lines[i].strip().startswith("```"):
                item.append(lines[i].strip())
                i += 1
            out.append('.IP "\\(bu" 2')
            out.append(text_lines(inline(" ".join(item))))
            continue
        paragraph.append(stripped)
        i += 1
    flush()
    return "\n".join(head + synopsis + body) + "\n"


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    page, name, section, version, summary, target = sys.argv[1:]
    with open(page, encoding="utf-8") as f:
        roff = convert(f.read(), name, section, version, summary).encode("utf-8")
    if target.endswith(".gz"):
        with open(target, "wb") as f:
            f.write(gzip.compress(roff, compresslevel=9, mtime=0))
    else:
        with open(target, "wb") as f:
            f.write(roff)


if __name__ == "__main__":
    main()
