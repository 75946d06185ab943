import random
import subprocess

import pytest

import tresol


def test_rows_are_designed_lazily_and_in_order():
    def rows():
        yield {"id": "V1", "kind": "viga", "series": "Euro", "area_cm2": 10, "cover_cm": 3,
               "width_cm": 30, "height_cm": 50, "multiple": 1}
        raise RuntimeError("the source broke after one row")

    it = tresol.design_many(rows())
    first = next(it)
    assert first.id == "V1" and first.chosen.line == "5 fi 16"
    with pytest.raises(RuntimeError, match="broke"):
        next(it)


def test_fields_are_matched_as_the_batch_program_matches_columns():
    # Names without regard to case or blanks, unknown ones ignored, numbers as text read too.
    row = {" KIND ": "viga", "Series": "euro", "area_cm2": "10", "cover_cm": 3.0,
           "width_cm": "30", "height_cm": 50, "multiple": "1", "comment": [1, 2], 7: "x"}
    (r,) = tresol.design_many([row])
    assert [c.line for c in r.candidates] == ["5 fi 16", "4 fi 20", "3 fi 25"]
    assert r.series == "Euro"


def test_a_bad_row_raises_naming_it_and_the_field():
    good = {"kind": "viga", "series": "Euro", "area_cm2": 10, "cover_cm": 3, "width_cm": 30,
            "height_cm": 50, "multiple": 1}
    rows = [good, {**good, "cover_cm": "tres"}, good]
    it = tresol.design_many(rows)
    next(it)
    with pytest.raises(ValueError) as e:
        next(it)
    assert str(e.value) == "Miembro 2, campo cover_cm: no es un número («tres»)."
    assert list(it) == []  # ended, as a generator that raised

    out = list(tresol.design_many(rows + ["not a member", {}], return_errors=True))
    assert [type(x).__name__ for x in out] == ["DesignResult", "ValueError", "DesignResult",
                                               "ValueError", "ValueError"]
    assert str(out[3]) == "Miembro 4: no es un objeto con los campos de un miembro."
    assert str(out[4]).startswith("Miembro 5, campo kind: falta")


def members(n, seed):
    """n members across both kinds and series, with a few bad rows among them."""
    rnd = random.Random(seed)
    rows = []
    for i in range(1, n + 1):
        kind = rnd.choice(["viga", "pilar"])
        row = {
            "id": f"M{i}",
            "kind": kind,
            "series": rnd.choice(["Euro", "Mex"]),
            "area_cm2": f"{rnd.uniform(1, 60):.3f}",
            "cover_cm": f"{rnd.uniform(2, 6):.2f}",
            "width_cm": str(rnd.randrange(20, 80)),
            "height_cm": str(rnd.randrange(25, 100)),
            "multiple": str(rnd.randrange(1, 4) if kind == "viga" else rnd.randrange(4, 9)),
            "length_m": f"{rnd.uniform(2, 8):.2f}",
        }
        if i % 97 == 0:
            row[rnd.choice(["area_cm2", "cover_cm", "width_cm", "multiple", "kind"])] = \
                rnd.choice(["", "abc", "-3", "nan", "1e99", "0"])
        rows.append(row)
    return rows


def run_batch(exe, *args):
    return subprocess.run([exe, "--quiet", *map(str, args)], capture_output=True, text=True,
                          timeout=600)
