#!/usr/bin/env python3
"""The folders' libraries and what each links, read from `cmake --graphviz`.

    python3 tools/layers.py            prints the picture of the layers
    python3 tools/layers.py --write    writes it to docs/layers.txt
    python3 tools/layers.py --check    fails when a folder links in a circle,
                                       links a layer above its own, has no
                                       layer, or docs/layers.txt is stale

Each folder of the program is the library nirel3<folder>. A folder may link
the folders of the layers below its own and, within the windows' layer, the
windows beside it, as long as no circle forms.
"""
import os
import re
import subprocess
import sys
import tempfile

SRC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURE = os.path.join(SRC, "docs", "layers.txt")

# Top to bottom.
LAYERS = [
    ("top", ["shell"]),
    ("windows", ["cards", "express", "guides", "conclusion", "deep", "photos", "charts", "help"]),
    ("model", ["state"]),
    ("ground", ["platform", "rtf"]),
]
LEVEL = {f: len(LAYERS) - i for i, (_, folders) in enumerate(LAYERS) for f in folders}
NOT_PRODUCT = {"tests", "bench", "packaging", "tools", "docs", "data"}


def product_folders():
    return sorted(d for d in os.listdir(SRC)
                  if d not in NOT_PRODUCT and not d.startswith(".")
                  and os.path.isfile(os.path.join(SRC, d, "CMakeLists.txt")))


def link_graph(cmake):
    """folder -> set of folders it links directly."""
    with tempfile.TemporaryDirectory() as build:
        dot = os.path.join(build, "graph", "nirel3.dot")
        os.makedirs(os.path.dirname(dot))
        with open(os.path.join(build, "CMakeGraphVizOptions.cmake"), "w") as opts:
            opts.write("set(GRAPHVIZ_EXTERNAL_LIBS FALSE)\nset(GRAPHVIZ_INTERFACE_LIBS FALSE)\n"
                       "set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)\nset(GRAPHVIZ_GENERATE_DEPENDERS FALSE)\n")
        subprocess.run([cmake, "-S", SRC, "-B", build, "-G", "Ninja", "--graphviz=" + dot,
                        "-DNIREL3_BUILD_TESTS=OFF", "-DNIREL3_BUILD_BENCH=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
        text = open(dot, encoding="utf-8").read()
    names = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text))
    graph = {}
    for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
        na, nb = names[a], names[b]
        if na.startswith("nirel3") and nb.startswith("nirel3") and na != "nirel3":
            graph.setdefault(na[6:], set()).add(nb[6:])
    for label in names.values():
        if label.startswith("nirel3") and label != "nirel3":
            graph.setdefault(label[6:], set())
    return graph


def circle(graph):
    """A circle of folders as a list, or None."""
    state = {}
    path = []

    def visit(n):
        state[n] = 1
        path.append(n)
        for m in sorted(graph.get(n, ())):
            if state.get(m) == 1:
                return path[path.index(m):] + [m]
            if m not in state:
                found = visit(m)
                if found:
                    return found
        path.pop()
        state[n] = 2
        return None

    for n in sorted(graph):
        if n not in state:
            found = visit(n)
            if found:
                return found
    return None


def picture(graph):
    lines = ["The folders' libraries in layers; each folder links the ones named after it.",
             "Drawn by tools/layers.py from `cmake --graphviz`.", ""]
    width = max(len(f) for _, folders in LAYERS for f in folders)
    for i, (layer, folders) in enumerate(LAYERS):
        lines.append(f"{layer}:")
        for f in folders:
            uses = sorted(graph.get(f, ()), key=lambda u: (-LEVEL.get(u, 0), u))
            lines.append(f"  {f:<{width}}  -> {' '.join(uses)}" if uses else f"  {f}")
        if i + 1 < len(LAYERS):
            lines.append("      |")
    return "\n".join(lines) + "\n"


def check(graph):
    problems = []
    for folder in product_folders():
        if folder not in LEVEL:
            problems.append(f"{folder}/ has no layer in tools/layers.py")
        if folder not in graph:
            problems.append(f"{folder}/ builds no library nirel3{folder}")
    for a, uses in sorted(graph.items()):
        for b in sorted(uses):
            if a in LEVEL and b in LEVEL and LEVEL[b] > LEVEL[a]:
                problems.append(f"{a} links {b}, a layer above its own")
    found = circle({a: {b for b in uses if b in LEVEL} for a, uses in graph.items() if a in LEVEL})
    if found:
        problems.append("the folders link in a circle: " + " -> ".join(found))
    try:
        current = open(PICTURE, encoding="utf-8").read()
    except OSError:
        current = ""
    if current != picture(graph):
        problems.append("docs/layers.txt is not what the libraries link: run python3 tools/layers.py --write")
    return problems


def main(argv):
    cmake = os.environ.get("CMAKE", "cmake")
    graph = link_graph(cmake)
    if "--check" in argv:
        problems = check(graph)
        for p in problems:
            print(p)
        if not problems:
            print(f"{len(graph)} libraries, no circle, each links only its layer and those below")
        return 1 if problems else 0
    if "--write" in argv:
        with open(PICTURE, "w", encoding="utf-8") as out:
            out.write(picture(graph))
        return 0
    sys.stdout.write(picture(graph))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
