import pytest

import tresol

LINK_FIELDS = {"link", "crossties", "link_spacing_mm"}


@pytest.mark.parametrize("search", ["described", "ec2", "aci"])
def test_link_fields_of_every_candidate(search):
    # A 60 × 60 column, cover 4 cm, link fi 10: a column's candidates carry the link's text, the
    # crossties its bars need and its largest spacing; the same member without a link has none.
    column = tresol.design("pilar", "Euro", 45, 4, 60, 60, search=search, link_mm=10)
    assert column.link_mm == 10
    assert column.candidates
    for c in column.candidates:
        d = c.as_dict()
        n = d["crossties"]
        ties = f" + {n} horquilla{'s' if n > 1 else ''} fi 10" if n else ""
        assert d["link"] == "1 cerco fi 10" + ties
        # At most 400 mm under EN 9.5.3(3), 48 · 10 under ACI 25.7.2.1.
        assert 0 < d["link_spacing_mm"] <= (480 if search == "aci" else 400)
    plain = tresol.design("pilar", "Euro", 45, 4, 60, 60, search=search)
    assert plain.link_mm == 0
    assert not LINK_FIELDS & set(plain.candidates[0].as_dict())


def test_a_beam_has_its_link_and_no_spacing():
    beam = tresol.design("viga", "Euro", 10, 3, 30, 50, search="ec2", link_mm=8)
    rows = beam.candidates_dicts()
    assert {r["link"] for r in rows} == {"1 cerco fi 8"}
    assert {r["crossties"] for r in rows} == {0}
    assert {r["link_spacing_mm"] for r in rows} == {None}


@pytest.mark.parametrize("link, message", [
    (7, r"^campo link_mm: el cerco de 7 mm no es un diámetro de la serie Euro\.$"),
    (-8, r"^campo link_mm: no puede ser negativo \(-8\)\.$"),
    (float("nan"), r"^campo link_mm: no es un número finito"),
    ("x", r"^campo link_mm: no es un número \(«x»\)"),
    (25, r"^campo link_mm: el cerco de 25 mm, doblado con un radio interior de 87\.5 mm, no deja "
         r"sitio dentro del recubrimiento de 5 cm\.$"),
])
def test_a_bad_link_raises(link, message):
    with pytest.raises(ValueError, match=message):
        tresol.design("viga", "Euro", 5, 5, 20, 20, search="ec2", link_mm=link)


def test_design_many_takes_a_rows_link():
    member = dict(kind="viga", area_cm2=10, cover_cm=3, width_cm=30, height_cm=50, multiple=1)
    rows = [dict(member, series="Mex", link_mm=9.53), dict(member, series="Euro", link_mm=14)]
    results = list(tresol.design_many(rows, return_errors=True))
    assert results[0].candidates[0].as_dict()["link"] == "1 cerco # 3"
    # 14 mm is none of the described list's Euro sizes.
    assert isinstance(results[1], ValueError)
    assert "Miembro 2, campo link_mm: el cerco de 14 mm" in str(results[1])
