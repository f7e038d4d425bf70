"""What the benchmarks against assimp (assimp-utils) share: the command line, the private
settings folder, the DirectX grid every case starts from, and the timing of whole runs,
alternating between the programs, with medians of wall and CPU time."""
import argparse
import os
import statistics
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def setup(default_work):
    """Parses --build, --work, --runs and --quads; makes the work folder with its empty
    settings folder and the grid (generate_inputs.py --grid QUADS). Returns (args, env, grid,
    path of our morvane-convert)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--work", default=default_work)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--quads", type=int, default=707)
    args = parser.parse_args()
    os.makedirs(os.path.join(args.work, "config"), exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(args.work, "config"))
    grid = os.path.join(args.work, "grid.x")
    if not os.path.exists(grid):
        subprocess.run([sys.executable, os.path.join(REPO, "bench/convert/generate_inputs.py"),
                        "--grid", str(args.quads), grid], check=True)
    return args, env, grid, os.path.join(args.build, "bin/morvane-convert")


def timed(command, env):
    """Runs command; returns (wall seconds, user + sys seconds of it and its children)."""
    before = os.times()
    start = time.monotonic()
    result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            text=True)
    wall = time.monotonic() - start
    after = os.times()
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command),
                                          result.stderr[-2000:]))
    cpu = (after.children_user - before.children_user) + \
        (after.children_system - before.children_system)
    return wall, cpu


def compare(cases, runs, env):
    """cases: (name, our command, assimp's command). Runs each pair `runs` times, alternating,
    and prints per case the median wall and CPU seconds of both and the ratios ours / assimp."""
    print("median of %d runs; seconds" % runs)
    print("%-12s %10s %10s %8s   %10s %10s %8s" % ("case", "ours wall", "assimp", "ratio",
                                                   "ours cpu", "assimp", "ratio"))
    for name, ours, theirs in cases:
        times = {"ours": [], "assimp": []}
        for _ in range(runs):
            times["ours"].append(timed(ours, env))
            times["assimp"].append(timed(theirs, env))
        (ow, oc), (aw, ac) = [(statistics.median(w for w, _ in t), statistics.median(c for _, c in t))
                              for t in (times["ours"], times["assimp"])]
        print("%-12s %10.2f %10.2f %8.2f   %10.2f %10.2f %8.2f" % (name, ow, aw, ow / aw, oc, ac,
                                                                   oc / ac), flush=True)
