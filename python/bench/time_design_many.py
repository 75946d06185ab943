#!/usr/bin/env python3
"""Times design_many over generated members against tresol-batch on the same CSV.

    PYTHONPATH=build/default/python python3 python/bench/time_design_many.py \\
        build/default/src/batch/tresol-batch [members] [described|ec2|aci]
"""
import csv
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests"))
import tresol  # noqa: E402
from test_design_many import members, write_csv  # noqa: E402


def main():
    exe = sys.argv[1]
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
    search = sys.argv[3] if len(sys.argv) > 3 else "described"
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "members.csv")
        write_csv(path, members(n, seed=1))

        start = time.perf_counter()
        subprocess.run([exe, "--quiet", path, "--search", search, "--format", "csv", "-o",
                        os.path.join(tmp, "schedule.csv")], stderr=subprocess.DEVNULL,
                       check=False)
        batch = time.perf_counter() - start

        start = time.perf_counter()
        with open(path, newline="", encoding="utf-8") as f:
            rows = 0
            for r in tresol.design_many(csv.DictReader(f), return_errors=True, search=search):
                if not isinstance(r, ValueError):
                    rows += len(r.candidates_dicts())
        python = time.perf_counter() - start

    print(f"{n} members, search {search}: tresol-batch {batch:.2f} s ({n / batch:,.0f}/s), "
          f"design_many {python:.2f} s ({n / python:,.0f}/s), ratio {python / batch:.2f}")


if __name__ == "__main__":
    main()
