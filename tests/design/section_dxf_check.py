#!/usr/bin/env python3
"""Reads a 2D section drawing with ezdxf, audits it and lists what a CAD program finds in it, in
the listing of tests/drawing/dxf_check.py (whose entity lines it reuses, with the layer added
after the kind), one line each:

  AUDIT errors=<n> fixes=<n>
  HEADER acadver=<v> insunits=<n> measurement=<n> extmin=<x y z> extmax=<x y z>
  EXTENTS min=<x y z> max=<x y z>          (the model space's extents as ezdxf measures them)
  LAYER name=<name> aci=<n> linetype=<name>
  LTYPE name=<name> dashes=<n> length=<l>
  STYLE name=<name> font=<file>
  LWPOLYLINE layer=<l> linetype=<l> closed=<0|1> rgb=... aci=... n=<count> pts=<x y z ...>
  CIRCLE layer=<l> aci=<n> centre=<x y z> radius=<r> normal=<x y z>
  HATCH layer=<l> aci=<n> solid=<0|1> pattern=<name> elevation=<x y z> normal=<x y z>
        loops=<n> edges=<kind ...> centre=<x y ...> radius=<r ...>
  TEXT layer=<l> style=<s> rgb=... height=... ins=<x y z> ... text=<text>
  LINE layer=<l> start=<x y z> end=<x y z>
  DIMENSION layer=<l> type=<n> style=<dimstyle> block=<name> blocked=<0|1> measurement=<m>
        angle=<deg> text=<the text its block shows>

A polyline with arcs adds bulges=<b ...> (one a vertex) and radii=<r ...>, the radius of each
arc, from its bulge and chord: r = c / (2 sin θ/2), θ = 4 atan(bulge).

With --render OUT.png the model space is drawn into OUT.png as seen from above, by ezdxf's
drawing add-on (needs matplotlib): the README's pictures of the drawings are made so.

Exit status 2 when ezdxf (or matplotlib for --render) is missing, 1 when the file cannot be read.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "drawing"))
import dxf_check  # noqa: E402  (exits with status 2 when ezdxf is missing)
from dxf_check import colour, num, open_audited, vec  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf import bbox  # noqa: E402
from ezdxf.math import Vec3  # noqa: E402


def header(doc):
    h = doc.header
    return "HEADER acadver=%s insunits=%d measurement=%d extmin=%s extmax=%s" % (
        h.get("$ACADVER", "-"), h.get("$INSUNITS", -1), h.get("$MEASUREMENT", -1),
        vec(Vec3(h.get("$EXTMIN", (0, 0, 0)))), vec(Vec3(h.get("$EXTMAX", (0, 0, 0)))))


def hatch(e):
    kinds, centres, radii = [], [], []
    for path in e.paths:
        for edge in getattr(path, "edges", []):
            kinds.append(edge.type.name)
            if hasattr(edge, "radius"):
                centres.append(vec(edge.center))
                radii.append(num(edge.radius))
    return "HATCH layer=%s aci=%d solid=%d pattern=%s elevation=%s normal=%s loops=%d " \
        "edges=%s centre=%s radius=%s" % (
            e.dxf.layer, e.dxf.get("color", 256), e.dxf.solid_fill, e.dxf.pattern_name,
            vec(e.dxf.elevation), vec(e.dxf.extrusion), len(e.paths), " ".join(kinds),
            " ".join(centres), " ".join(radii))


def arcs(e):
    """The bulges of a polyline's vertices and the radius of each of its arcs."""
    pts = [(x, y, b) for x, y, b in e.get_points("xyb")]
    radii = []
    for i, (x, y, b) in enumerate(pts):
        if b == 0 or (i + 1 == len(pts) and not e.closed):
            continue
        nx, ny, _ = pts[(i + 1) % len(pts)]
        chord = math.hypot(nx - x, ny - y)
        radii.append(chord / (2 * math.sin(abs(2 * math.atan(b)))))
    if not radii:
        return ""
    return " bulges=%s radii=%s" % (" ".join(num(b) for _, _, b in pts),
                                     " ".join(num(r) for r in radii))


def dimension(e, doc):
    block = e.dxf.get("geometry", "")
    shown = ""
    if block in doc.blocks:
        shown = " ".join(t.dxf.text for t in doc.blocks[block] if t.dxftype() == "TEXT")
    return "DIMENSION layer=%s type=%d style=%s block=%s blocked=%d measurement=%s angle=%s " \
        "text=%s" % (e.dxf.layer, e.dimtype, e.dxf.get("dimstyle", "Standard"), block,
                     int(block in doc.blocks), num(e.get_measurement()),
                     num(e.dxf.get("angle", 0.0)), shown)


def describe(e, doc=None):
    kind = e.dxftype()
    if kind == "LINE":
        return "LINE layer=%s start=%s end=%s" % (e.dxf.layer, vec(e.dxf.start), vec(e.dxf.end))
    if kind == "DIMENSION":
        return dimension(e, doc)
    if kind == "CIRCLE":
        return "CIRCLE layer=%s aci=%d centre=%s radius=%s normal=%s" % (
            e.dxf.layer, e.dxf.get("color", 256), vec(e.dxf.center), num(e.dxf.radius),
            vec(e.dxf.extrusion))
    if kind == "HATCH":
        return hatch(e)
    line = dxf_check.describe(e)
    rest = line.split(" ", 1)[1] if " " in line else ""
    extra = "layer=%s" % e.dxf.layer
    if kind == "LWPOLYLINE":
        extra += " linetype=%s closed=%d %s" % (e.dxf.get("linetype", "BYLAYER"), e.closed,
                                                colour(e))
        rest = rest.split(" ", 2)[2] + arcs(e)  # the colour, once
    elif kind == "TEXT":
        extra += " style=%s" % e.dxf.style
    return "%s %s %s" % (kind, extra, rest)


def main():
    opened = open_audited("section_dxf_check.py")
    if opened is None:
        return 1
    doc, render = opened
    print(header(doc))
    box = bbox.extents(doc.modelspace())
    print("EXTENTS min=%s max=%s" % (vec(box.extmin), vec(box.extmax)))
    for layer in doc.layers:
        print("LAYER name=%s aci=%d linetype=%s" % (layer.dxf.name, layer.dxf.color,
                                                    layer.dxf.linetype))
    for ltype in doc.linetypes:
        pattern = ltype.pattern_tags
        print("LTYPE name=%s dashes=%d length=%s" % (
            ltype.dxf.name, len(pattern.tags.find_all(49)) if pattern else 0,
            num(pattern.tags.get_first_value(40, 0.0)) if pattern else 0.0))
    for style in doc.styles:
        print("STYLE name=%s font=%s" % (style.dxf.name, style.dxf.font))
    for e in doc.modelspace():
        print(describe(e, doc))
    return dxf_check.render_plan(doc, render) if render else 0


if __name__ == "__main__":
    sys.exit(main())
