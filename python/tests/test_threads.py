import random
import re
from concurrent.futures import ThreadPoolExecutor

import pytest

import tresol


def _rows(n):
    r = random.Random(11)
    rows = []
    for i in range(n):
        beam = r.random() < 0.5
        search = r.choice(["described", "ec2", "aci"])
        rows.append({"id": f"M{i}", "kind": "viga" if beam else "pilar",
                     "series": r.choice(["Euro", "Mex"]), "area_cm2": round(r.uniform(1, 60), 2),
                     "cover_cm": r.choice([2, 3, 4, 30]), "width_cm": r.choice([20, 30, 45]),
                     "height_cm": r.choice([40, 60]) if beam else None,
                     "multiple": r.choice([1, 2]) if beam else r.choice([4, 6]),
                     "search": search})
    # A bad row: refused in its place, the others still designed.
    rows[7]["cover_cm"] = "tres"
    return rows


def _seen(result):
    if isinstance(result, ValueError):
        return str(result)
    return (result.id, [c.as_dict() for c in result.candidates], [str(m) for m in result.messages])


def test_threads_design_what_one_designs_in_order():
    rows = _rows(2000)
    serial = [_seen(r) for r in tresol.design_many(rows, return_errors=True)]
    assert "Miembro 8" in serial[7]
    assert [_seen(r) for r in tresol.design_many(rows, return_errors=True, workers=4)] == serial

    # design() lets the other threads run while it designs; its refusals name no member.
    def one(row):
        try:
            return _seen(tresol.design(**row))
        except ValueError as e:
            return str(e)

    with ThreadPoolExecutor(4) as pool:
        pooled = list(pool.map(one, rows))
    assert pooled == [re.sub(r"^Miembro \d+(, |)", "", s) if isinstance(s, str) else s
                      for s in serial]


def test_workers_must_be_a_whole_number_from_one():
    for bad in (0, -1, 2.0, True, "4", 10**30):
        with pytest.raises(ValueError, match="workers"):
            tresol.design_many([], workers=bad)
