import math
import struct
import xml.etree.ElementTree as ET

import pytest

import tresol

SVG = "{http://www.w3.org/2000/svg}"


def window_beam():
    return tresol.design("viga", "Euro", 10, 3, 30, 50)


def test_messages_come_back_as_data():
    # A cover of 20 cm leaves no bar line on a 30 cm face: the search zeroes it and says so.
    r = tresol.design("viga", "Euro", 10, 20, 30, 50)
    assert [(m.text, m.icon) for m in r.messages] == [
        ("Recubrimiento incompatible con ancho. Se hacen cero.", "critical")]
    assert str(r.messages[0]) == r.messages[0].text


def test_svg_is_xml_with_one_circle_per_placed_bar():
    r = window_beam()
    for c in r.candidates:
        root = ET.fromstring(r.svg(c.candidate, width=400, height=300))
        assert root.tag == SVG + "svg"
        # The outline's width on the page gives the scale in pixels per centimetre.
        xs = [float(l.get(a)) for l in root.iter(SVG + "line") for a in ("x1", "x2")]
        radius = c.diameter_mm / 20 * (max(xs) - min(xs)) / 30
        bars = [b for b in root.iter(SVG + "circle") if abs(float(b.get("r")) - radius) < 1e-2]
        assert len(bars) == c.placed, c.line
    assert r.svg() == r.svg(r.chosen) == r.svg(1)
    assert r._repr_svg_() == r.svg().decode()


def test_png_is_an_image_of_the_size_asked():
    r = window_beam()
    if not hasattr(r, "png"):
        pytest.skip("module built without the Qt layer")
    data = r.png(width=320, height=200)
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    width, height = struct.unpack(">II", data[16:24])  # the IHDR chunk
    assert (width, height) == (320, 200)


def test_catalogue_lists_the_bars_of_each_series():
    # #4 is 4/8 in.
    mex = {b["reference"]: b for b in tresol.catalogue("Mex")}
    assert mex["4"]["diameter_mm"] == pytest.approx(12.7, abs=0.01)
    assert mex["4"]["area_cm2"] == pytest.approx(math.pi * 1.27 ** 2 / 4, rel=1e-4)
    assert "16" in [b["reference"] for b in tresol.catalogue("Euro")]


def test_section_properties_of_polygons():
    rect = [(0, 0), (0.3, 0), (0.3, 0.5), (0, 0.5)]
    p = tresol.section_properties(rect)
    assert (p["area"], p["iy"], p["iz"]) == pytest.approx((0.15, 0.003125, 0.001125), rel=1e-6)
    assert p["centroid"] == pytest.approx((0.15, 0.25), rel=1e-6)
    assert tresol.section_properties(rect + rect[:1]) == p  # closed or not, the same


@pytest.mark.parametrize("args, kw, message", [
    (("viga", "Euro", 10, 0, 30, 50), {}, r"^campo cover_cm: debe ser mayor que cero \(0\)\.$"),
    (("pilar", "Euro", 10, 3, 30, 30), dict(multiple=3), r"campo multiple: fuera de 4…10"),
    (("viga", "Euro", "x", 3, -1, 50), {}, r"campo area_cm2.*campo width_cm"),  # every field
])
def test_bad_arguments_raise_value_error_naming_the_field(args, kw, message):
    with pytest.raises(ValueError, match=message):
        tresol.design(*args, **kw)


@pytest.mark.parametrize("kind, sides", [("pilar", 4), (" Pilar ", 4), ("viga", 1)])
def test_multiple_left_out_is_the_windows_first(kind, sides):
    # A column starts with four sides, a beam with one face, as in the design window.
    r = tresol.design(kind, "Euro", 24, 3, 40, 40)
    assert r.multiple == sides
    explicit = tresol.design(kind, "Euro", 24, 3, 40, 40, sides)
    assert r.candidates_dicts() == explicit.candidates_dicts()


def test_candidates_dicts_name_their_member_and_weigh_it():
    r = tresol.design("viga", "Euro", 10, 3, 30, 50, id="V-101", length_m=6)
    rows = r.candidates_dicts()
    assert [row["id"] for row in rows] == ["V-101"] * 3
    for row, c in zip(rows, r.candidates):
        assert row["mass_kg"] > 0
        assert {k: v for k, v in row.items() if k not in ("id", "mass_kg")} == c.as_dict()
    assert [row["mass_kg"] for row in window_beam().candidates_dicts()] == [None] * 3


GARBAGE = [float("nan"), float("inf"), -float("inf"), "abc", "", None, 1e308, 10 ** 400,
           -(10 ** 400), True, [1], {"a": 1}, b"10", object()]


@pytest.mark.parametrize("field", ["area_cm2", "cover_cm", "width_cm", "height_cm", "multiple"])
def test_garbage_numbers_raise_and_never_crash(field):
    good = dict(kind="viga", series="Euro", area_cm2=10, cover_cm=3, width_cm=30, height_cm=50)
    for bad in GARBAGE:
        if bad is None and field == "multiple":
            continue  # None is the kind's own default
        with pytest.raises(ValueError, match="campo " + field):
            tresol.design(**{**good, field: bad})


def test_garbage_elsewhere_raises_and_never_crashes():
    for bad in (None, 3, 1.5, float("nan"), [], "pilar\0", "\udcff"):
        with pytest.raises(ValueError):
            tresol.design("viga", bad, 10, 3, 30, 50)
        with pytest.raises(ValueError):
            tresol.design(bad, "Euro", 10, 3, 30, 50)
    assert tresol.catalogue("eURo") == tresol.catalogue("Euro")
    with pytest.raises(ValueError, match="serie desconocida"):
        tresol.catalogue("Euro ")
    with pytest.raises(TypeError):
        tresol.catalogue(None)
    r = window_beam()
    for bad in (0, 4, 10 ** 30):
        with pytest.raises(ValueError, match=f"No hay candidato {bad} \\(hay 3\\)"):
            r.svg(bad)
    for bad in ("1", 1.0, True):
        with pytest.raises(TypeError):
            r.svg(bad)
    for w, h in ((0, 300), (float("nan"), 300), (400, 1e9), (-5, -5)):
        with pytest.raises(ValueError, match="tamaño"):
            r.svg(width=w, height=h)
    # Coordinates a single holds whose moments it does not.
    with pytest.raises(ValueError, match="fuera de rango|precisión simple"):
        tresol.section_properties([(0, 0), (3e38, 0), (3e38, 3e38), (0, 3e38)])
    with pytest.raises(TypeError):
        tresol.section_properties(None)


@pytest.mark.parametrize("pts", [[], [(0, 0), (1, 0), (2, 0)], [(0, 0), (1, 0), (float("nan"), 1)],
                                 [(0, 0), "ab", (0, 1)], [1, 2, 3], [(0, 0), (1, None), (0, 1)]])
def test_bad_polygons_raise(pts):
    with pytest.raises(ValueError):
        tresol.section_properties(pts)


def test_outlineless_and_refused_members_are_results_not_errors():
    # Absurd dimensions within the batch limits still design, with nothing placeable.
    r = tresol.design("viga", "Euro", 10, 3, 1e6, 1e-9 + 1e-5)
    assert r.chosen is None and ET.fromstring(r.svg()).tag == SVG + "svg"


def test_interaction_curve_of_the_chosen_row():
    r = tresol.design("pilar", "Euro", None, 3, 40, 40, 4, search="ec2", n_ed_kn=1500,
                      my_ed_knm=100, mz_ed_knm=50)
    n, m = tresol.interaction(r)
    assert len(n) == len(m) > 64
    # Pure compression at the top, pure tension at the foot, the design point inside.
    assert max(n) > 1500 > 0 > min(n)
    assert r.chosen.utilisation < 1
    with pytest.raises(ValueError):
        tresol.interaction(window_beam())


def test_dxf_has_one_circle_per_placed_bar(tmp_path):
    r = window_beam()
    if not hasattr(r, "dxf"):
        pytest.skip("module built without the section's DXF writer")
    ezdxf = pytest.importorskip("ezdxf")
    for c in r.candidates:
        path = tmp_path / f"{c.candidate}.dxf"
        r.dxf(path, c)
        doc = ezdxf.readfile(path)
        assert not doc.audit().has_errors
        circles = doc.modelspace().query("CIRCLE")
        # Millimetres: a bar of d mm has radius d/2.
        assert [round(e.dxf.radius, 3) for e in circles] == [round(c.diameter_mm / 2, 3)] * c.placed
    with pytest.raises(ValueError, match="No hay candidato"):
        r.dxf(tmp_path / "x.dxf", 9)
