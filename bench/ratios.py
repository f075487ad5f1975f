#!/usr/bin/env python3
"""Runs the benchmark programs of a Release build and prints every figure as a number of plain
SQLite look-ups measured in the same program run (see README.md beside this file).

    bench/ratios.py [build-rel] [extra benchmark options...]
"""
import json
import subprocess
import sys
from pathlib import Path

PROGRAMS = ["tariff_bench", "rating_bench", "pony_bench"]
PLAIN = "plain SQLite look-up"
TO_US = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}


def run(program, extra):
    out = subprocess.run([str(program), "--benchmark_format=json", *extra], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)["benchmarks"]


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build-rel")
    extra = sys.argv[2:]
    print(f"{'benchmark':45} {'CPU time':>12} {'plain look-ups':>15}  rate")
    for name in PROGRAMS:
        rows = run(build / "bench" / name, extra)
        # With --benchmark_repetitions each aggregate (mean, median …) is read against the
        # plain look-up's same aggregate.
        plain = {r.get("aggregate_name", ""): r["cpu_time"] * TO_US[r["time_unit"]]
                 for r in rows if r.get("run_name", r["name"]) == PLAIN}
        for r in rows:
            if r.get("error_occurred"):
                print(f"{r['name']:45} error: {r.get('error_message', '')}")
                continue
            if r.get("aggregate_name") in ("stddev", "cv"):
                continue
            base = plain.get(r.get("aggregate_name", ""))
            us = r["cpu_time"] * TO_US[r["time_unit"]]
            ratio = f"{us / base:15.1f}" if base else f"{'-':>15}"
            rates = "  ".join(f"{k}={v:,.0f}" for k, v in r.items() if k.endswith("/s"))
            print(f"{r['name']:45} {us:10.2f}us {ratio}  {rates}")


if __name__ == "__main__":
    main()
