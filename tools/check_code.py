#!/usr/bin/env python3
"""Checks of the program's sources that the compiler does not make.

    python3 tools/check_code.py globals         no mutable variable at namespace scope
    python3 tools/check_code.py doors           no door header names a widget type
    python3 tools/check_code.py includes        a window folder includes another
                                                window folder only through its door
    python3 tools/check_code.py controls        no window header with public controls
    python3 tools/check_code.py namespaces      a folder's code lives in the one namespace
                                                named for the folder

Tests and benchmarks are not looked at; they are white-box.
"""
import os
import re
import sys

SRC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NOT_PRODUCT = {"tests", "bench", "packaging", "tools", "docs", "data"}
GROUND_AND_MODEL = {"platform", "rtf", "state"}

# Headers of a window folder that the windows beside it may include besides
# its doors: plain data and drawing, no window in them.
SHARED = {
    "help/help.h",                # the help topics, opened by every window
    "charts/pictures.h",          # the chart pictures, drawn over the photos
    "charts/pupilcodes.h",        # the pupil diagram's codes, which the photos measure
    "photos/overlay.h",           # the irises as pictures, for the final editor
    "conclusion/newpatient.h",    # the new-patient reset the card window starts
    "deep/signcatalog.h",         # the sign catalogue, which the photo window offers items of
}

# Window headers whose controls are still public members (being made private
# one window at a time): the check holds for every other window header.
# Empty the list to hold it everywhere.
CONTROLS_STILL_PUBLIC = set()

# Doors that still hand out or take a window (the window owning a message
# box, the owner of the editor): the check holds for every other door.
DOORS_STILL_NAMING_WIDGETS = set()

WIDGETS = (r"\b(QWidget|QLabel|QLineEdit|QTextEdit|QPlainTextEdit|QPushButton|QToolButton|QAbstractButton|"
           r"QComboBox|QListView|QListWidget|QTreeView|QTreeWidget|QTableView|QTableWidget|QAbstractItemView|"
           r"QSpinBox|QDoubleSpinBox|QCheckBox|QRadioButton|QGroupBox|QTabWidget|QTabBar|QMainWindow|QDialog|"
           r"QMenu|QMenuBar|QToolBar|QStatusBar|QFrame|QScrollArea|QSplitter|QStackedWidget|QDateEdit|QSlider|"
           r"QProgressBar|Memo|PressMemo|TAboutBox|Tfm[A-Za-z0-9_]*)\b")


def product_files(exts=(".h", ".cpp")):
    for folder in sorted(os.listdir(SRC)):
        top = os.path.join(SRC, folder)
        if folder in NOT_PRODUCT or folder.startswith(".") or not os.path.isfile(os.path.join(top, "CMakeLists.txt")):
            continue
        for root, _, files in os.walk(top):
            for name in sorted(files):
                if name.endswith(exts):
                    path = os.path.join(root, name)
                    yield folder, os.path.relpath(path, SRC), open(path, encoding="utf-8").read()


def code_only(text):
    """The text with comments, string and character literals blanked out
    (line breaks kept, so that line numbers hold)."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            delim = ")" + text[i + 2:k] + '"'
            j = text.find(delim, k)
            j = n if j < 0 else j + len(delim)
            out.append('""' + "".join(ch for ch in text[i:j] if ch == "\n"))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        elif c == "#" and (i == 0 or text[text.rfind("\n", 0, i) + 1:i].strip() == ""):
            # A preprocessor line, continued lines included.
            j = i
            while True:
                j = text.find("\n", j)
                if j < 0 or text[j - 1] != "\\":
                    break
                j += 1
            j = n if j < 0 else j
            out.append("".join(ch for ch in text[i:j] if ch == "\n"))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def namespace_scope_statements(code):
    """(line, statement) for every statement ended by ';' at namespace scope."""
    kinds = []          # for each open brace: "ns", "init" (part of a statement) or "body"
    stmt = []
    start_line = 1
    line = 1
    for c in code:
        if c == "\n":
            line += 1
        at_ns = all(k == "ns" for k in kinds)
        inside_init = any(k == "init" for k in kinds) and all(k in ("ns", "init") for k in kinds)
        if c == "{":
            if at_ns:
                text = " ".join("".join(stmt).split())
                if re.search(r"\bnamespace\b|^extern\s*\"\"", text):
                    kinds.append("ns")
                    stmt = []
                elif "=" in text.split("(")[0] or (text and "(" not in text and not re.match(
                        r"(template|class|struct|union|enum)\b", text) and re.search(r"[\w\]>]$", text)):
                    kinds.append("init")
                    stmt.append(c)
                else:
                    kinds.append("body")
                    stmt = []
            else:
                kinds.append("body" if not inside_init else "init")
                if inside_init:
                    stmt.append(c)
            continue
        if c == "}":
            kind = kinds.pop() if kinds else "ns"
            if kind == "init" and all(k in ("ns", "init") for k in kinds):
                stmt.append(c)
            elif kind == "body" and all(k == "ns" for k in kinds):
                stmt = []
            continue
        if at_ns or inside_init:
            if not "".join(stmt).strip():
                start_line = line
            stmt.append(c)
            if c == ";" and at_ns:
                yield start_line, " ".join("".join(stmt).split())
                stmt = []


def is_mutable_variable(stmt):
    s = stmt.rstrip(";").strip()
    if not s or re.match(r"(using|typedef|template|friend|class|struct|union|enum|namespace|static_assert|"
                         r"Q_[A-Z_]+|extern\s*\"\")\b", s):
        return False
    head = s.split("=")[0]
    if "(" in head and "=" not in s.split("(")[0]:
        return False                      # a function (or a macro, or a variable built by a constructor)
    if "operator" in head:
        return False
    head = head.split("{")[0]
    if re.search(r"\bconstexpr\b|\*\s*const\b", head):
        return False
    if "*" in head:
        return True                       # a pointer to const is itself mutable
    if re.search(r"\bconst\b", head):
        return False
    return bool(re.search(r"\w", s))


def check_globals():
    problems = []
    for _, path, text in product_files():
        for line, stmt in namespace_scope_statements(code_only(text)):
            if is_mutable_variable(stmt):
                problems.append(f"{path}:{line}: a mutable variable at namespace scope: {stmt[:100]}")
    return problems, "no mutable variable at namespace scope"


def window_folders():
    return {f for f, _, _ in product_files()} - GROUND_AND_MODEL - {"shell"}


def check_doors():
    problems = []
    for _, path, text in product_files((".h",)):
        if not path.endswith("door.h") or path in DOORS_STILL_NAMING_WIDGETS:
            continue
        for number, line in enumerate(code_only(text).splitlines(), 1):
            m = re.search(WIDGETS, line)
            if m:
                problems.append(f"{path}:{number}: a door names the widget type {m.group(1)}")
    return problems, "no door header names a widget type"


def check_includes():
    problems = []
    windows = window_folders()
    for folder, path, text in product_files():
        for number, line in enumerate(text.splitlines(), 1):
            m = re.match(r'\s*#\s*include\s*"(([A-Za-z0-9_]+)/([A-Za-z0-9_]+\.h))"', line)
            if not m or m.group(2) == folder:
                continue
            # The ground and the model include nothing above them (no window
            # and no shell; the ground not the model either).
            if folder in GROUND_AND_MODEL:
                if m.group(2) not in GROUND_AND_MODEL or (folder != "state" and m.group(2) == "state"):
                    problems.append(f"{path}:{number}: includes {m.group(1)}, a layer above {folder}/")
                continue
            if folder not in windows or m.group(2) not in windows:
                continue
            if not m.group(3).endswith("door.h") and m.group(1) not in SHARED:
                problems.append(f"{path}:{number}: includes {m.group(1)}, private to {m.group(2)}/: go through its door")
    return problems, "windows include other window folders only through their doors"


def public_controls(text):
    """Names of widget members declared in a public section of a class."""
    found = []
    access = None
    hidden = None  # the indentation of a nested type declared in a non-public part, until its end
    for line in code_only(text).splitlines():
        s = line.strip()
        indent = len(line) - len(line.lstrip())
        if hidden is not None:
            if s.startswith("}") and indent == hidden:
                hidden = None
            continue
        if indent and access not in (None, "public") and re.match(r"(class|struct)\s+\w+[^;]*$", s):
            hidden = indent
            continue
        if re.match(r"(class|struct)\s+\w+[^;]*$", s):
            access = "public" if s.startswith("struct") else "private"
            continue
        m = re.match(r"(public|protected|private)\s*(slots|Q_SLOTS)?\s*:", s)
        if m:
            access = m.group(1)
            continue
        if s.startswith(("signals:", "Q_SIGNALS:")):
            access = "signals"
            continue
        if access == "public":
            m = re.match(r"(?:" + WIDGETS + r")\s*\*\s*(\w+)\s*(=\s*nullptr)?\s*;", s)
            if m:
                found.append(m.group(2))
    return found


def check_controls():
    problems, stale = [], []
    for folder, path, text in product_files((".h",)):
        if folder in GROUND_AND_MODEL or not re.search(r"\bQ_OBJECT\b", text):
            continue
        names = public_controls(text)
        if names and path not in CONTROLS_STILL_PUBLIC:
            problems.append(f"{path}: public controls {', '.join(names[:6])}{' ...' if len(names) > 6 else ''}")
        elif not names and path in CONTROLS_STILL_PUBLIC:
            stale.append(path)
    for path in sorted(stale):
        print(f"note: {path} has no public controls any more: take it off CONTROLS_STILL_PUBLIC")
    return problems, "no window header has public controls"


def outer_namespaces(code):
    """(line, name) for every named namespace opened outside any named one
    (an anonymous namespace does not count as one)."""
    opened = []   # for each open brace: the namespace's name, "" if anonymous, None if no namespace
    line = 1
    pos = 0
    for m in re.finditer(r"\n|\{|\}", code):
        line += code.count("\n", pos, m.start())
        pos = m.start()
        if m.group(0) == "{":
            head = code[code.rfind(";", 0, m.start()) + 1:m.start()]
            head = head[max(head.rfind("}"), head.rfind("{")) + 1:]
            ns = re.search(r"\bnamespace\s*([\w:]*)\s*$", head)
            name = ns.group(1) if ns else None
            if name and not any(opened):
                yield line, name
            opened.append(name)
        elif m.group(0) == "}" and opened:
            opened.pop()


def check_namespaces():
    problems = []
    for folder, path, text in product_files():
        if os.path.basename(path) == "main.cpp":
            continue
        for line, name in outer_namespaces(code_only(text)):
            if name.split("::")[0] != folder:
                problems.append(f"{path}:{line}: opens namespace {name}: code of {folder}/ lives in {folder}::")
    return problems, "each folder's code lives in the one namespace named for the folder"


CHECKS = {"globals": check_globals, "doors": check_doors, "includes": check_includes,
          "controls": check_controls, "namespaces": check_namespaces}


def main(argv):
    names = argv or list(CHECKS)
    failed = False
    for name in names:
        problems, holds = CHECKS[name]()
        for p in problems:
            print(p)
        if problems:
            failed = True
        else:
            print(f"{name}: {holds}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
