#!/usr/bin/env python3
"""Reads a DXF drawing with ezdxf, audits it and lists what a CAD program would find in its
model space, one line per entity, in world coordinates:

  AUDIT errors=<n> fixes=<n>
  POLYLINE3D rgb=<RRGGBB|-> aci=<n> n=<count> pts=<x y z ...>
  LWPOLYLINE rgb=... aci=... n=<count> pts=<x y z ...>
  TEXT rgb=... aci=... height=<h> ins=<x y z> dir=<x y z> normal=<x y z> text=<text>
  SPHERE rgb=... aci=... centre=<x y z> radius=<r> spread=<r> vertices=<n> faces=<n>
         closed=<0|1> volume=<v>
  OTHER <dxftype>

A sphere is a polyface mesh: its centre is the mean of its vertices, its radius their largest
distance from it and spread the difference between largest and smallest distance; closed=1
when every edge belongs to exactly two faces, and volume is the signed volume enclosed
(positive when the faces turn outwards).

With --render OUT.png the model space is also drawn into OUT.png as seen from above, by ezdxf's
drawing add-on (needs matplotlib).

Exit status 2 when ezdxf (or matplotlib for --render) is missing, 1 when the file cannot be read.
"""
import math
import sys

try:
    import ezdxf
    from ezdxf.math import Vec3
except ImportError:
    print("ezdxf is not installed", file=sys.stderr)
    sys.exit(2)


def num(v):
    return repr(float(v))


def vec(v):
    return " ".join(num(c) for c in v)


def colour(e):
    tc = e.dxf.get("true_color")
    rgb = "-" if tc is None else "%06X" % tc
    return "rgb=%s aci=%d" % (rgb, e.dxf.get("color", 256))


def polyface(e):
    vertices = [Vec3(v.dxf.location) for v in e.vertices if v.is_poly_face_mesh_vertex]
    faces = []
    for f in e.vertices:
        if f.is_face_record:
            idx = [abs(f.dxf.get(k, 0)) for k in ("vtx0", "vtx1", "vtx2", "vtx3")]
            faces.append([i - 1 for i in idx if i != 0])
    centre = sum(vertices, Vec3()) / len(vertices)
    dist = [(v - centre).magnitude for v in vertices]
    edges = {}
    volume = 0.0
    for f in faces:
        for a, b in zip(f, f[1:] + f[:1]):
            key = (min(a, b), max(a, b))
            edges[key] = edges.get(key, 0) + 1
        for k in range(1, len(f) - 1):
            p, q, r = (vertices[f[0]] - centre, vertices[f[k]] - centre,
                       vertices[f[k + 1]] - centre)
            volume += p.dot(q.cross(r)) / 6.0
    closed = int(all(c == 2 for c in edges.values()))
    return ("SPHERE %s centre=%s radius=%s spread=%s vertices=%d faces=%d closed=%d volume=%s"
            % (colour(e), vec(centre), num(max(dist)), num(max(dist) - min(dist)),
               len(vertices), len(faces), closed, num(volume)))


def describe(e):
    kind = e.dxftype()
    if kind == "POLYLINE" and e.is_3d_polyline:
        pts = [v.dxf.location for v in e.vertices]
        return "POLYLINE3D %s n=%d pts=%s" % (colour(e), len(pts),
                                             " ".join(vec(p) for p in pts))
    if kind == "POLYLINE" and e.is_poly_face_mesh:
        return polyface(e)
    if kind == "LWPOLYLINE":
        ocs = e.ocs()
        elevation = e.dxf.get("elevation", 0.0)
        pts = [ocs.to_wcs(Vec3(x, y, elevation)) for x, y in e.get_points("xy")]
        return "LWPOLYLINE %s n=%d pts=%s" % (colour(e), len(pts),
                                             " ".join(vec(p) for p in pts))
    if kind == "TEXT":
        ocs = e.ocs()
        angle = math.radians(e.dxf.get("rotation", 0.0))
        direction = ocs.to_wcs(Vec3(math.cos(angle), math.sin(angle), 0)) - ocs.to_wcs(Vec3())
        return "TEXT %s height=%s ins=%s dir=%s normal=%s text=%s" % (
            colour(e), num(e.dxf.height), vec(ocs.to_wcs(e.dxf.insert)), vec(direction),
            vec(Vec3(e.dxf.get("extrusion", (0, 0, 1))).normalize()), e.dxf.text)
    return "OTHER %s" % kind


def render_plan(doc, out):
    """Draws the model space into the image `out` as seen from above (X right, Y up)."""
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
        from ezdxf.addons.drawing import Frontend, RenderContext
        from ezdxf.addons.drawing.properties import LayoutProperties
        from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    except ImportError:
        print("matplotlib is not installed", file=sys.stderr)
        return 2
    # CAD programs bring the shape font "txt"; the renderer needs a font it can find.
    for style in doc.styles:
        style.dxf.font = "DejaVuSans.ttf"
    # Texts count for the frame too: fit the axes to everything, with a margin.
    from ezdxf import bbox
    box = bbox.extents(doc.modelspace())
    margin = 0.08 * max(box.size.x, box.size.y)
    width, height = box.size.x + 2 * margin, box.size.y + 2 * margin
    fig = plt.figure(figsize=(8, 8 * height / width))
    ax = fig.add_axes([0, 0, 1, 1])
    sheet = LayoutProperties.from_layout(doc.modelspace())
    sheet.set_colors("#ffffff")  # paper: the foreground colour turns black
    Frontend(RenderContext(doc), MatplotlibBackend(ax, adjust_figure=False)).draw_layout(
        doc.modelspace(), finalize=True, layout_properties=sheet)
    ax.set_xlim(box.extmin.x - margin, box.extmax.x + margin)
    ax.set_ylim(box.extmin.y - margin, box.extmax.y + margin)
    ax.set_aspect("auto")  # the figure already has the drawing's proportions
    fig.savefig(out, dpi=150, facecolor="#ffffff")
    return 0


def open_audited(script):
    """Reads the file named on the command line and prints ezdxf's audit; (doc, render path or
    None), or None after a usage or read error."""
    args = sys.argv[1:]
    render = None
    if len(args) == 3 and args[0] == "--render":
        render, args = args[1], args[2:]
    if len(args) != 1:
        print("usage: %s [--render OUT.png] FILE.dxf" % script, file=sys.stderr)
        return None
    try:
        doc = ezdxf.readfile(args[0])
    except (IOError, ezdxf.DXFStructureError) as exc:
        print("cannot read %s: %s" % (args[0], exc), file=sys.stderr)
        return None
    auditor = doc.audit()
    for err in auditor.errors:
        print("audit error %s: %s" % (err.code, err.message), file=sys.stderr)
    print("AUDIT errors=%d fixes=%d" % (len(auditor.errors), len(auditor.fixes)))
    return doc, render


def main():
    opened = open_audited("dxf_check.py")
    if opened is None:
        return 1
    doc, render = opened
    for e in doc.modelspace():
        print(describe(e))
    return render_plan(doc, render) if render else 0


if __name__ == "__main__":
    sys.exit(main())
