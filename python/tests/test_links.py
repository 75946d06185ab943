import pytest

import tresol

LINK_FIELDS = {"link", "crossties", "link_spacing_mm"}


@pytest.mark.parametrize("search", ["described", "ec2"])
def test_link_fields_of_every_candidate(search):
    # A 60 × 60 column, cover 4 cm, link fi 10: its candidates carry the link's text, the crossties
    # its bars need and its spacing; the same member without a link has none of them. (The
    # figures are the link's own tests'.)
    column = tresol.design("pilar", "Euro", 45, 4, 60, 60, search=search, link_mm=10)
    assert column.link_mm == 10
    assert column.candidates
    for c in column.candidates:
        d = c.as_dict()
        assert d["link"].startswith("1 cerco fi 10")
        assert isinstance(d["crossties"], int) and d["link_spacing_mm"] > 0
    plain = tresol.design("pilar", "Euro", 45, 4, 60, 60, search=search)
    assert plain.link_mm == 0
    assert not LINK_FIELDS & set(plain.candidates[0].as_dict())


def test_a_beam_has_its_link_and_no_spacing():
    beam = tresol.design("viga", "Euro", 10, 3, 30, 50, search="ec2", link_mm=8)
    assert {(r["link"], r["crossties"], r["link_spacing_mm"])
            for r in beam.candidates_dicts()} == {("1 cerco fi 8", 0, None)}


@pytest.mark.parametrize("link, message", [
    (7, r"^campo link_mm: el cerco de 7 mm no es un diámetro de la serie Euro\.$"),
    (-8, r"^campo link_mm: no puede ser negativo \(-8\)\.$"),
    ("x", r"^campo link_mm: no es un número \(«x»\)"),
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
