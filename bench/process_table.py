"""Turns bench_process JSON into ns per stereo frame and the real-time factor."""
import json
import sys

with open(sys.argv[1]) as f:
    runs = json.load(f)["benchmarks"]

print(f"{'rate':>7} {'block':>6} {'os':>3} {'ns/frame':>10} {'realtime x':>11}")
for r in runs:
    if r.get("run_type") == "aggregate":
        continue
    parts = dict(p.split(":") for p in r["name"].split("/")[1:] if ":" in p)
    rate, block, os_ = int(parts["rate"]), int(parts["block"]), int(parts["os"])
    cpu_ns = r["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[r["time_unit"]]
    ns_per_frame = cpu_ns / block
    realtime = (block / rate) / (cpu_ns * 1e-9)
    print(f"{rate:>7} {block:>6} {os_:>3} {ns_per_frame:>10.1f} {realtime:>11.1f}")
