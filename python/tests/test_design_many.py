import csv
import json
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


def write_csv(path, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.DictWriter(f, fieldnames=list(rows[0]))
        w.writeheader()
        w.writerows(rows)


def run_batch(exe, *args):
    return subprocess.run([exe, "--quiet", *map(str, args)], capture_output=True, text=True,
                          timeout=600)


def test_design_many_equals_tresol_batch_on_the_same_csv(batch_exe, tmp_path):
    rows = members(1000, seed=17)
    write_csv(tmp_path / "members.csv", rows)
    done = run_batch(batch_exe, tmp_path / "members.csv", "--format", "json", "-o",
                     tmp_path / "schedule.json")
    assert done.returncode == 1, done.stderr  # some rows are refused
    schedule = json.loads((tmp_path / "schedule.json").read_text(encoding="utf-8"))

    with open(tmp_path / "members.csv", newline="", encoding="utf-8") as f:
        ours = list(tresol.design_many(csv.DictReader(f), return_errors=True))
    assert len(ours) == len(rows)
    designed = [r for r in ours if not isinstance(r, ValueError)]
    refused = [i + 1 for i, r in enumerate(ours) if isinstance(r, ValueError)]
    assert len(designed) == len(schedule) and refused
    for r, m in zip(designed, schedule):
        assert r.id == m["id"]
        for key in ("kind", "series", "area_cm2", "cover_cm", "width_cm", "height_cm",
                    "multiple", "length_m"):
            assert getattr(r, key) == m[key], (r.id, key)
        assert [msg.text for msg in r.messages] == m["messages"], r.id
        assert (r.chosen.candidate if r.chosen else None) == m["chosen"], r.id
        # Each row names its member and carries its mass (None without a length).
        theirs = [{"id": m["id"], **c, "mass_kg": c.get("mass_kg")} for c in m["candidates"]]
        assert r.candidates_dicts() == theirs, r.id


def test_bad_rows_get_the_batch_programs_texts(batch_exe, tmp_path):
    rows = members(300, seed=4)
    # JSON in, so that the batch program names members and fields as the module does.
    (tmp_path / "members.json").write_text(json.dumps(rows), encoding="utf-8")
    done = run_batch(batch_exe, tmp_path / "members.json", "--format", "json", "-o",
                     tmp_path / "schedule.json")
    ours = [str(e) for e in tresol.design_many(rows, return_errors=True)
            if isinstance(e, ValueError)]
    assert len(ours) == 3  # rows 97, 194, 291
    assert done.returncode == 1
    # The batch program's messages go to stderr, each after the sink's own prefix.
    prefix = "Tresol error: "
    theirs = [line[len(prefix):] for line in done.stderr.splitlines()
              if line.startswith(prefix + "Miembro ")]
    assert theirs == ours


