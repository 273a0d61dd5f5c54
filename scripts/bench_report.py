#!/usr/bin/env python3
"""Writes BENCHMARKS.md from one run of the benchmark programs.

Usage: bench_report.py RUN_DIR OUTPUT

RUN_DIR holds, per program, NAME.json (Google Benchmark's JSON output) and NAME.txt (its
console output, where the program prints its ratios to the peers it measured in the same run,
its goals and its floors). The report keeps every figure, and next to it those lines.
"""

import datetime
import json
import os
import pathlib
import platform
import re
import subprocess
import sys

# Lines a program prints after its table: ratios ("A / B: ..."), goals and floors, pass times.
VERDICT = re.compile(r"^(\S+ / \S+: .*|Goals?: .*|Pass times .*)$")
# The device a program's GPU work ran on, as the programs print it.
DEVICE = re.compile(r"^(?:Device: |LogRHI: Vulkan device ')([^'(]+)")
TIME_UNITS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def command_output(*command):
    try:
        return subprocess.run(command, capture_output=True, text=True, check=False).stdout
    except OSError:
        return ""


def machine():
    cpu = platform.processor() or platform.machine()
    for line in command_output("lscpu").splitlines():
        if line.startswith("Model name:"):
            cpu = line.split(":", 1)[1].strip()
    memory_kib = next((int(line.split()[1]) for line in pathlib.Path("/proc/meminfo").read_text().splitlines()
                       if line.startswith("MemTotal:")), 0)
    return cpu, os.cpu_count(), memory_kib / (1 << 20)


def devices(run_dir):
    found = set()
    for text_file in run_dir.glob("*.txt"):
        for line in text_file.read_text(errors="replace").splitlines():
            if match := DEVICE.match(line):
                found.add(match.group(1).strip())
    return ", ".join(sorted(found)) or "none reported"


def milliseconds(run, key):
    return run[key] * TIME_UNITS[run.get("time_unit", "ns")]


def program_section(json_file, text_file):
    lines = [f"## {json_file.stem}", ""]
    output = text_file.read_text(errors="replace").splitlines()
    report = json.loads(json_file.read_text()) if json_file.stat().st_size else {"benchmarks": []}
    benchmarks = report["benchmarks"]
    errors = [run for run in benchmarks if run.get("error_occurred")]
    # A repeated benchmark shows its median, not each repetition.
    repeated = {run["run_name"] for run in benchmarks if run.get("run_type") == "aggregate"}
    runs = [run for run in benchmarks if not run.get("error_occurred") and (
        run.get("aggregate_name") == "median" if run.get("run_name") in repeated else run.get("run_type", "iteration") == "iteration")]
    if runs:
        lines += ["| benchmark | wall clock (ms) | processor time (ms) | iterations |", "|---|---:|---:|---:|"]
        for run in runs:
            lines.append(f"| {run['name']} | {milliseconds(run, 'real_time'):.3f} | {milliseconds(run, 'cpu_time'):.3f} | {run['iterations']} |")
        lines.append("")
    for run in errors:
        lines.append(f"- {run['name']} did not run: {run.get('error_message', 'no reason given')}")
    verdicts = [line.strip() for line in output if VERDICT.match(line.strip())]
    if verdicts:
        lines += ["Against the peers measured in the same run:", ""] + [f"- {line}" for line in verdicts]
    if not runs and not errors:
        lines.append("No figures: the program did not run. Its output ends:")
        lines += ["", "```", *output[-10:], "```"]
    return lines + [""]


def main():
    run_dir, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    cpu, cores, memory_gib = machine()
    lines = [
        "# Benchmarks",
        "",
        "Written by `scripts/bench.sh` from one run of every program in `Benchmarks/`; each program measures",
        "its peers in the same run, so the ratios hold on this machine even where the absolute figures do not.",
        "",
        f"- Run: {datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC",
        f"- Machine: {cpu}, {cores} logical processors, {memory_gib:.0f} GiB memory",
        f"- Vulkan device: {devices(run_dir)}",
        "",
    ]
    for json_file in sorted(run_dir.glob("*.json")):
        lines += program_section(json_file, json_file.with_suffix(".txt"))
    output.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
