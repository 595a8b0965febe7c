#!/usr/bin/env python3
"""The RTF corpus made with LibreOffice, and the check of our RTF against it.

tests/rtf/corpus/sources/*.html are documents of our own: pictures (PNG and
JPEG), numbered, lettered, roman and bulleted lists, a table with a cell of
two paragraphs and merged cells, Cyrillic in several fonts.

  rtf_corpus.py remake
      LibreOffice converts each source to RTF (tests/rtf/corpus/NAME.rtf),
      Cyrillic also without code page and charsets (cyrillic-nocp.rtf) and
      with Windows-1251 bytes (cyrillic-1251.rtf), made from LibreOffice's
      own file; then LibreOffice converts its RTF to HTML, and what it shows
      is kept in NAME.expected: each paragraph's text with its list number,
      each table cell, the number of pictures. test_rtf reads the corpus and
      compares with these, without LibreOffice.

  rtf_corpus.py check RESAVE
      RESAVE (tests/rtf/rtf_resave) opens each corpus file with our reader
      and saves it with our writer; LibreOffice converts ours to HTML, and
      what it shows must be what it showed of its own file. Exits 77 (a
      skipped test) where LibreOffice is not installed.

Needs libreoffice-writer-nogui (soffice).
"""
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "tests", "rtf", "corpus")
SOURCES = os.path.join(CORPUS, "sources")
# Files made from another file of the corpus show what it shows.
SAME_AS = {"cyrillic-nocp": "cyrillic", "cyrillic-1251": "cyrillic"}


def soffice():
    return shutil.which("soffice") or shutil.which("libreoffice")


def convert(files, to, outdir, infilter=None):
    # A profile of its own, so that a desktop LibreOffice running meanwhile
    # is left alone.
    with tempfile.TemporaryDirectory() as profile:
        cmd = [soffice(), "-env:UserInstallation=file://" + profile, "--headless"]
        if infilter:
            cmd += ["--infilter=" + infilter]
        cmd += ["--convert-to", to, "--outdir", outdir] + files
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)


def roman(n):
    out = ""
    for value, text in ((1000, "m"), (900, "cm"), (500, "d"), (400, "cd"), (100, "c"), (90, "xc"), (50, "l"),
                        (40, "xl"), (10, "x"), (9, "ix"), (5, "v"), (4, "iv"), (1, "i")):
        while n >= value:
            out += text
            n -= value
    return out


def letters(n):
    out = ""
    while n > 0:
        n -= 1
        out = chr(ord("a") + n % 26) + out
        n //= 26
    return out


def number(kind, n):
    if kind == "a":
        return letters(n)
    if kind == "A":
        return letters(n).upper()
    if kind == "i":
        return roman(n)
    if kind == "I":
        return roman(n).upper()
    return str(n)


class Summary(html.parser.HTMLParser):
    """What a reader sees in LibreOffice's HTML: one line per paragraph (its
    list number first), per table cell ("| " and its paragraphs apart by
    " / "), and the number of pictures."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lines = []
        self.lists = []  # [kind, next number]
        self.label = None
        self.text = None
        self.cells = []  # paragraphs of the cells being read, innermost last
        self.pictures = 0

    def flush(self):
        if self.text is None:
            return
        text = re.sub(r"\s+", " ", self.text).strip()
        self.text = None
        if not text:
            return
        if self.label is not None:
            text = self.label + " " + text
            self.label = None
        if self.cells:
            self.cells[-1].append(text)
        else:
            self.lines.append(text)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag in ("ol", "ul"):
            self.flush()
            start = int(a.get("start", "1")) if tag == "ol" else 0
            self.lists.append(["•" if tag == "ul" else a.get("type", "1"), start])
        elif tag == "li" and self.lists:
            self.flush()
            kind, n = self.lists[-1]
            self.label = "•" if kind == "•" else number(kind, n)
            self.lists[-1][1] += 1
            self.text = ""
        elif tag in ("p", "h1", "h2", "h3", "h4", "h5", "h6"):
            if self.label is None:
                self.flush()
            if self.text is None:
                self.text = ""
        elif tag in ("td", "th"):
            self.flush()
            self.cells.append([])
        elif tag == "br" and self.text is not None:
            self.text += " "
        elif tag == "img":
            self.pictures += 1

    def handle_endtag(self, tag):
        if tag in ("ol", "ul") and self.lists:
            self.flush()
            self.lists.pop()
        elif tag in ("p", "h1", "h2", "h3", "h4", "h5", "h6", "li"):
            self.flush()
        elif tag in ("td", "th") and self.cells:
            self.flush()
            self.lines.append("| " + " / ".join(self.cells.pop()))

    def handle_data(self, data):
        if self.text is not None:
            self.text += data

    def result(self):
        self.flush()
        return self.lines + ["pictures: %d" % self.pictures]


def summary(html_path):
    s = Summary()
    with open(html_path, encoding="utf-8", errors="replace") as f:
        s.feed(f.read())
    s.close()
    return s.result()


def corpus_files():
    return sorted(f[:-4] for f in os.listdir(CORPUS) if f.endswith(".rtf"))


def remake():
    with tempfile.TemporaryDirectory() as tmp:
        sources = sorted(os.path.join(SOURCES, f) for f in os.listdir(SOURCES) if f.endswith(".html"))
        convert(sources, "rtf", CORPUS, "HTML (StarWriter)")
        derive_cyrillic()
        names = [n for n in corpus_files() if n not in SAME_AS]
        convert([os.path.join(CORPUS, n + ".rtf") for n in names], "html", tmp)
        for n in names:
            with open(os.path.join(CORPUS, n + ".expected"), "w", encoding="utf-8", newline="\r\n") as f:
                f.write("\n".join(summary(os.path.join(tmp, n + ".html"))) + "\n")
    print("corpus remade in " + os.path.normpath(CORPUS))


def derive_cyrillic():
    """cyrillic.rtf as older programs write it: Cyrillic letters as
    Windows-1251 bytes (\\'hh), with \\fcharset204 fonts, and without any code
    page or charset at all."""
    with open(os.path.join(CORPUS, "cyrillic.rtf"), "rb") as f:
        rtf = f.read().decode("latin-1")

    def byte(m):
        ch = chr(int(m.group(1)) % 65536)
        try:
            return "".join("\\'%02x" % b for b in ch.encode("cp1251"))
        except UnicodeEncodeError:
            return m.group(0)

    in1251 = re.sub(r"\\u(-?\d+) ?(?:\\'[0-9a-fA-F]{2}|\?)", byte, rtf)
    with_charset = re.sub(r"\\fcharset\d+", r"\\fcharset204", in1251)
    with open(os.path.join(CORPUS, "cyrillic-1251.rtf"), "wb") as f:
        f.write(with_charset.replace("\\ansi", "\\ansi\\ansicpg1251", 1).encode("latin-1"))
    without = re.sub(r"\\fcharset\d+|\\ansicpg\d+|\\cpg\d+|\\(?:def)?lang(?:fe|np)?\d+|\\adeflang\d+", "", in1251)
    with open(os.path.join(CORPUS, "cyrillic-nocp.rtf"), "wb") as f:
        f.write(without.encode("latin-1"))


def check(resave):
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        names = corpus_files()
        for n in names:
            subprocess.run([resave, os.path.join(CORPUS, n + ".rtf"), os.path.join(tmp, n + ".rtf")], check=True)
        convert([os.path.join(tmp, n + ".rtf") for n in names], "html", tmp)
        for n in names:
            with open(os.path.join(CORPUS, SAME_AS.get(n, n) + ".expected"), encoding="utf-8") as f:
                expected = f.read().splitlines()
            got = summary(os.path.join(tmp, n + ".html"))
            if got == expected:
                print("%-16s same as LibreOffice's own: %d lines" % (n, len(got)))
                continue
            failed += 1
            print("%-16s DIFFERS" % n)
            for e, g in zip(expected + [""] * len(got), got + [""] * len(expected)):
                if e != g:
                    print("  LibreOffice's: %s\n  ours:         %s" % (e, g))
    return 1 if failed else 0


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("remake", "check") or (sys.argv[1] == "check" and len(sys.argv) < 3):
        print(__doc__)
        return 2
    if not soffice():
        print("LibreOffice (soffice) is not installed: skipped")
        return 77
    if sys.argv[1] == "remake":
        remake()
        return 0
    return check(sys.argv[2])


if __name__ == "__main__":
    sys.exit(main())
