#!/usr/bin/env python3
"""Import benchmark of the exchange formats: morvane-convert --info against `assimp info`.

Writes a DirectX text grid of about 1,000,000 triangles (generate_inputs.py --grid 707) and has
`assimp export` turn it into .glb, .obj and binary .stl. Each file is then read by both
programs, alternating, several runs each: `morvane-convert --quiet --info FILE` (the import
class, its reader program in a child process, the stream back, the welding and the mesh
finishing) and `assimp info FILE`. Prints the median wall and CPU time (user + sys, the child
process included) of each whole run and the ratios ours / assimp.
Settings come from a private, empty settings folder.

Usage: import_vs_assimp.py [--build DIR] [--work DIR] [--runs N] [--quads N]
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--work", default="/tmp/morvane-import-bench")
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

    medians = {}
    for ext, assimp_format, import_class in (("glb", "glb2", "glTF 2.0 (*.gltf, *.glb)"),
                                             ("obj", "obj", "Wavefront OBJ (*.obj)"),
                                             ("stl", "stlb", "STL (*.stl)")):
        model = os.path.join(args.work, "grid." + ext)
        if not os.path.exists(model):
            subprocess.run(["assimp", "export", grid, model, "-f" + assimp_format], check=True,
                           stdout=subprocess.DEVNULL)
        runs = {"ours": [], "assimp": []}
        for _ in range(args.runs):
            runs["ours"].append(timed([ours, "--quiet", "--info", "--from", import_class, model],
                                      env))
            runs["assimp"].append(timed(["assimp", "info", model], env))
        medians[ext] = {who: (statistics.median(w for w, _ in r), statistics.median(c for _, c in r))
                        for who, r in runs.items()}

    print("median of %d runs, grid of %d triangles; seconds" % (args.runs, 2 * args.quads ** 2))
    print("%-5s %10s %10s %8s   %10s %10s %8s" % ("file", "ours wall", "assimp", "ratio",
                                                  "ours cpu", "assimp", "ratio"))
    for ext, m in medians.items():
        (ow, oc), (aw, ac) = m["ours"], m["assimp"]
        print("%-5s %10.2f %10.2f %8.2f   %10.2f %10.2f %8.2f" % (ext, ow, aw, ow / aw, oc, ac,
                                                                  oc / ac))


if __name__ == "__main__":
    main()
