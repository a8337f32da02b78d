#!/usr/bin/env python3
"""Bytes still allocated in a heaptrack trace, summed by the innermost frame of the monitor's own
code (kt::...) that led to the allocation, with the frame it called. With a second, earlier trace
of the same run, prints what was added between the two.

Usage: bench/heap_live_sites.py LATER.zst [EARLIER.zst] [count, default 25]
Needs heaptrack_print (Debian package heaptrack); the traces come from bench/soak_figures.sh run
with SOAK_HEAPTRACK=FILE.
"""
import collections
import os
import subprocess
import sys
import tempfile


def stacks(trace, earlier):
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "stacks")
        command = ["heaptrack_print", "-f", trace, "--flamegraph-cost-type", "leaked", "-F", out,
                   "-p", "0", "-a", "0", "-T", "0"]
        if earlier:
            command += ["-d", earlier]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, encoding="utf-8", errors="replace") as f:
            for line in f:
                frames, _, cost = line.rstrip("\n").rpartition(" ")
                yield [fr for fr in frames.split(";") if fr], int(cost)


def site(frames):
    # Frames run from the outermost to the allocation.
    for i in range(len(frames) - 1, -1, -1):
        if "kt::" in frames[i]:
            callee = frames[i + 1] if i + 1 < len(frames) else "(allocates itself)"
            return f"{frames[i][:110]}\n        -> {callee[:100]}"
    return "(no frame of the monitor) " + (frames[-1][:100] if frames else "?")


def main():
    args = sys.argv[1:]
    count = int(args.pop()) if len(args) > 1 and args[-1].isdigit() else 25
    later = args[0]
    earlier = args[1] if len(args) > 1 else None
    by_site = collections.Counter()
    for frames, cost in stacks(later, earlier):
        by_site[site(frames)] += cost
    total = sum(by_site.values())
    what = f"added since {earlier}" if earlier else "live"
    print(f"{total / 1024:10.1f} KiB {what} in {later}")
    for where, cost in sorted(by_site.items(), key=lambda kv: -abs(kv[1]))[:count]:
        print(f"{cost / 1024:10.1f} KiB  {where}")


if __name__ == "__main__":
    main()
