#!/usr/bin/env python3
"""Checks the layering: every `#include "folder/…"` of a source folder names a folder that the
folder declares it may see.

The core's folders declare theirs in the root CMakeLists.txt (`tresol_module(name DEPENDS …)`);
the faces are listed below. The header-only contracts (an abstract drawing surface, an abstract
piece) may be included from any folder: they sit at the bottom, whatever folder holds them.
Prints each include that crosses a layer and exits 1 when there is one."""
import re
import sys
from pathlib import Path

ROOT = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[1]

CONTRACTS = {"drawing/ICuadro.h", "drawing/Palette.h", "pieces/IPieza3D.h"}

# The faces over the core, side by side: none includes another.
FACES = {
    "render": {"drawing", "platform"},
    "app": {"render", "design", "pieces", "reinforcement", "sections", "drawing", "geometry",
            "datasheets", "platform"},
    "batch": {"render", "design", "pieces", "reinforcement", "sections", "drawing", "geometry",
              "datasheets", "platform"},
    "python/src": {"render", "design", "pieces", "reinforcement", "sections", "drawing",
                   "geometry", "datasheets", "platform"},
}


def declared():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    deps = {}
    for name, rest in re.findall(r"^tresol_module\((\w+)(?:\s+DEPENDS\s+([^)]*))?\)", text, re.M):
        deps[name] = set((rest or "").split())
    # A structural section and its reinforcement name each other by design: one layer.
    if "sections" in deps and "reinforcement" in deps:
        deps["sections"].add("reinforcement")
    deps.update(FACES)
    return deps


def main():
    deps = declared()
    crossings = []
    for folder, allowed in deps.items():
        base = ROOT / folder if "/" in folder else ROOT / "src" / folder
        own = folder.split("/")[0] if "/" in folder else folder
        for path in sorted(base.glob("*.[ch]*")):
            for n, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                m = re.match(r'\s*#\s*include\s+"((\w+)/[^"]+)"', line)
                if not m:
                    continue
                header, target = m.group(1), m.group(2)
                if target in (own, folder) or header in CONTRACTS or target in allowed:
                    continue
                crossings.append(f"{path.relative_to(ROOT)}:{n}: {folder} includes {header}")
    for c in crossings:
        print(c)
    print(f"layering: {len(deps)} folders, {len(crossings)} includes across layers")
    return 1 if crossings else 0


if __name__ == "__main__":
    sys.exit(main())
