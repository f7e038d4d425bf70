#!/usr/bin/env python3
"""Export benchmark of the exchange formats: morvane-convert against `assimp export`.

Writes a DirectX text grid of about 1,000,000 triangles (generate_inputs.py --grid 707), then
converts it to .glb, .obj and .stl with both programs, alternating, several runs each, and
prints the median CPU time (user + sys) of each whole run and the ratio ours / assimp. Both
programs read the same DirectX file first; for reference the reading alone is timed too
(`morvane-convert --info`, and `assimp info`, which also validates and post-processes, so it
costs more than assimp's reading for an export). assimp writes binary STL with its "stlb"
format, as ours does.
Settings come from a private, empty settings folder (smooth angle 70).

Usage: export_vs_assimp.py [--build DIR] [--work DIR] [--runs N] [--quads N]
"""
import argparse
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def cpu_seconds(command, env):
    """Runs command under /usr/bin/time; returns user + sys seconds."""
    result = subprocess.run(["/usr/bin/time", "-f", "%U %S"] + command, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command),
                                          result.stderr[-2000:]))
    user, system = result.stderr.strip().splitlines()[-1].split()
    return float(user) + float(system)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--work", default="/tmp/morvane-formats-bench")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--quads", type=int, default=707)
    args = parser.parse_args()

    os.makedirs(os.path.join(args.work, "config"), exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(args.work, "config"))
    grid = os.path.join(args.work, "grid.x")
    if not os.path.exists(grid):
        subprocess.run([sys.executable, os.path.join(REPO, "bench/convert/generate_inputs.py"),
                        "--grid", str(args.quads), grid], check=True)
    ours = os.path.join(args.build, "bin/morvane-convert")
    out = lambda name: os.path.join(args.work, name)

    cases = [("import only", [ours, "--quiet", "--info", grid], ["assimp", "info", grid])]
    for ext, assimp_format in (("glb", "glb2"), ("obj", "obj"), ("stl", "stlb")):
        cases.append((ext, [ours, "--quiet", grid, "-o", out("ours." + ext)],
                      ["assimp", "export", grid, out("assimp." + ext), "-f" + assimp_format]))

    medians = {}
    for name, our_command, assimp_command in cases:
        times = {"ours": [], "assimp": []}
        for _ in range(args.runs):
            times["ours"].append(cpu_seconds(our_command, env))
            times["assimp"].append(cpu_seconds(assimp_command, env))
        medians[name] = (statistics.median(times["ours"]), statistics.median(times["assimp"]))

    print("CPU seconds (user + sys), median of %d runs, grid of %d triangles"
          % (args.runs, 2 * args.quads * args.quads))
    print("%-12s %10s %10s %8s" % ("case", "ours", "assimp", "ratio"))
    for name, (o, a) in medians.items():
        print("%-12s %10.2f %10.2f %8.2f" % (name, o, a, o / a))


if __name__ == "__main__":
    main()
