import json

import pytest

import tresol
from test_design_many import members, run_batch

BEAM = dict(kind="viga", series="Euro", area_cm2=10, cover_cm=3, width_cm=30, height_cm=50)


@pytest.mark.parametrize("kw, message", [
    (dict(search="ec3"), r"^campo search: búsqueda desconocida «ec3» "
                         r"\(se espera described, ec2 o aci\)\.$"),
    (dict(search=[]), r"campo search: no es un texto"),
    (dict(aggregate_mm=0), r"^campo aggregate_mm: debe ser mayor que cero \(0\)\.$"),
    (dict(aggregate_mm="x"), r"campo aggregate_mm: no es un número \(«x»\)"),
    (dict(top=2.0), r"^top: "),
    (dict(top=10 ** 400), r"^top: "),
    (dict(min_diameter_mm="12"), r"^min_diameter_mm: "),
    (dict(max_spacing_mm=float("inf")), r"^max_spacing_mm: "),
])
def test_bad_search_options_raise(kw, message):
    with pytest.raises(ValueError, match=message):
        tresol.design(**BEAM, search=kw.pop("search", "ec2"), **kw)


def test_bad_run_options_of_design_many_raise_before_any_row():
    for kw, message in [(dict(search="Lista"), r"^search: búsqueda desconocida «Lista»"),
                        (dict(search=1), r"^search: se espera un texto"),
                        (dict(aggregate_mm=0), r"^aggregate_mm: "),
                        (dict(top=-3), r"^top: ")]:
        with pytest.raises(ValueError, match=message):
            tresol.design_many(iter([BEAM]), **kw)
    # A row's bad search is the batch program's text, naming the member.
    row = {**BEAM, "multiple": 1}
    it = tresol.design_many([row, {**row, "search": "ec3"}], return_errors=True)
    assert next(it).search == "described"
    assert str(next(it)) == ("Miembro 2, campo search: búsqueda desconocida «ec3» "
                             "(se espera described, ec2 o aci).")


def test_design_many_equals_tresol_batch(batch_exe, tmp_path):
    # The same members through the module and through the batch program, some with their own
    # search, aggregate size or actions, a few of them bad.
    rows = members(600, seed=23)
    for i, row in enumerate(rows):
        if i % 5 == 1:
            row["search"] = ["aci", "described", "EC2", "", "lista"][i // 5 % 5]
        if i % 7 == 2:
            row["aggregate_mm"] = [16, "32", None, -4, 12.5][i // 7 % 5]
        if i % 6 == 3:
            row["my_ed_knm"] = 20 + i % 150
            if row["kind"] == "pilar":
                row["n_ed_kn"], row["mz_ed_knm"] = 400 + 5 * i % 3000, -30
            if i % 12 == 9:
                del row["area_cm2"]  # found from the actions
    (tmp_path / "members.json").write_text(json.dumps(rows), encoding="utf-8")
    done = run_batch(batch_exe, tmp_path / "members.json", "--search", "ec2", "--aggregate-mm",
                     "16", "--top", "4", "--format", "json", "-o", tmp_path / "schedule.json")
    assert done.returncode == 1, done.stderr  # some rows are refused
    schedule = json.loads((tmp_path / "schedule.json").read_text(encoding="utf-8"))

    ours = list(tresol.design_many(rows, return_errors=True, search="ec2", aggregate_mm=16,
                                   top=4))
    designed = [r for r in ours if not isinstance(r, ValueError)]
    refused = [str(e) for e in ours if isinstance(e, ValueError)]
    assert len(designed) == len(schedule) and refused
    assert {r.search for r in designed} == {"ec2", "aci", "described"}
    prefix = "Tresol error: "
    assert refused == [line[len(prefix):] for line in done.stderr.splitlines()
                       if line.startswith(prefix + "Miembro ")]
    for r, m in zip(designed, schedule):
        assert (r.id, r.search, r.aggregate_mm) == (m["id"], m.get("search", "described"),
                                                    m.get("aggregate_mm")), r.id
        for key in ("kind", "series", "area_cm2", "cover_cm", "width_cm", "height_cm",
                    "multiple", "length_m"):
            assert getattr(r, key) == m[key], (r.id, key)
        assert [msg.text for msg in r.messages] == m["messages"], r.id
        assert (r.chosen.candidate if r.chosen else None) == m["chosen"], r.id
        mine = r.candidates_dicts()
        # What the schedule leaves out of a row (a column's effective depth, ACI's φ) is None here.
        theirs = [{**dict.fromkeys(mine[0] if mine else ()), "id": m["id"], **c}
                  for c in m["candidates"]]
        assert mine == theirs, r.id


def test_materials_and_largest_bar_reach_the_search():
    beam = dict(kind="viga", series="Euro", area_cm2=9, cover_cm=5, width_cm=40, height_cm=60)
    lines = lambda r: [c.line for c in r.candidates]
    with pytest.raises(ValueError, match="acero no válido"):
        tresol.design(**beam, search="aci", steel_mpa=1000)
    assert all("fi 25" not in l and "fi 32" not in l for l in
               lines(tresol.design(**beam, search="ec2", top=0, max_diameter_mm=20)))
    # A class name or a number; a bad one names the argument, a row's own is taken over the run's.
    assert tresol.design(**beam, search="ec2", concrete="C30/37").candidates
    with pytest.raises(ValueError, match=r"^concrete: "):
        tresol.design(**beam, search="ec2", concrete="C30")
    rows = [dict(beam, multiple=1, concrete="C8/10"), dict(beam, multiple=1)]
    out = list(tresol.design_many(rows, return_errors=True, search="ec2"))
    assert isinstance(out[0], ValueError) and "hormigón no válido" in str(out[0])
    assert out[1].candidates
