#!/usr/bin/env python3
"""Scaling benchmark: inputs that grow in one direction only, each at two sizes, so that work
growing with the square of the input shows as a ratio near 4 instead of 2.

Cases (morvane-convert --info, or a conversion to .x / .inc):
  same name      N meshes of one triangle, all named "dup" (every one after the first
                 gets a free name "dup_0", "dup_1", ...)
  many meshes    N meshes of one triangle with different names
  long names     200 meshes whose names are N characters long (a name holds at most 1022),
                 half of them the same
  polygon        one convex polygon of N corners (ear cutting)
  star polygon   one star-shaped (concave) polygon of N corners
  many parts     an LDraw model of N references to 200 parts
  flat fan       N triangles around one centre, gently waved (all meet below the smoothing
                 angle)
  steep fan      N triangles around one centre, waved so steeply that they do not

Prints CPU time (user + sys, the median of --runs runs) for each size and the ratio between
the sizes. On a machine shared with other work, CPU time is the figure to trust.

Usage: scaling_bench.py [--build DIR] [--work DIR] [--runs N] [--scale F] [--cases LABEL...]
"""
import argparse
import math
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import generate_inputs  # noqa: E402


def triangle_mesh(name, offset):
    return ("Mesh %s {\n 3;\n %d;0;0;,\n %d;0;0;,\n %d;1;0;;\n 1;\n 3;0,1,2;;\n}\n" %
            (name, offset, offset + 1, offset))


def write_meshes(path, names):
    with open(path, "w", newline="\n") as f:
        f.write("xof 0302txt 0064\n")
        for i, name in enumerate(names):
            f.write(triangle_mesh(name, i))


def write_polygon(path, n, inner):
    with open(path, "w", newline="\n") as f:
        f.write("xof 0302txt 0064\nMesh big {\n %d;\n" % n)
        for i in range(n):
            r = inner if i % 2 else 1.0
            a = 2 * math.pi * i / n
            f.write(" %.9f;%.9f;0;%s\n" % (r * math.cos(a), r * math.sin(a), ";" if i + 1 == n else ","))
        f.write(" 1;\n %d;%s;;\n}\n" % (n, ",".join(str(i) for i in range(n))))


def write_fan(path, n, wave):
    with open(path, "w", newline="\n") as f:
        f.write("xof 0302txt 0064\nMesh fan {\n %d;\n 0;0;0;,\n" % (n + 1))
        for i in range(n):
            a = 2 * math.pi * i / n
            f.write(" %.9f;%.9f;%.9f;%s\n" % (math.cos(a), math.sin(a), wave * math.sin(7 * a),
                                               ";" if i + 1 == n else ","))
        f.write(" %d;\n" % n)
        f.write(",\n".join(" 3;0,%d,%d;" % (i + 1, (i + 1) % n + 1) for i in range(n)) + ";\n}\n")


def cpu_seconds(command, env, runs):
    samples = []
    for _ in range(runs):
        before = os.times()
        result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        after = os.times()
        if result.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command), result.stderr[-2000:]))
        samples.append((after.children_user - before.children_user) +
                       (after.children_system - before.children_system))
    return statistics.median(samples)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--work", default="/tmp/morvane-scaling-bench")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--scale", type=float, default=1.0, help="multiplies every size")
    parser.add_argument("--cases", nargs="*", help="only the cases whose label starts so")
    args = parser.parse_args()
    convert = os.path.join(os.path.abspath(args.build), "bin", "morvane-convert")
    if not os.path.exists(convert):
        sys.exit("no %s: build the target morvane-convert and the plug-ins first" % convert)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ)
    env["XDG_CONFIG_HOME"] = os.path.join(work, "settings")
    env.pop("QT_QPA_PLATFORM", None)

    def size(n):
        return max(1, int(n * args.scale))

    def same_name(n, path):
        write_meshes(path, ["dup"] * n)

    def many_meshes(n, path):
        write_meshes(path, ["mesh%d" % i for i in range(n)])

    def long_names(n, path):
        write_meshes(path, [("n%d" % (i % 100)).ljust(n, "x") for i in range(200)])

    def polygon(n, path):
        write_polygon(path, n, 1.0)

    def star(n, path):
        write_polygon(path, n, 0.5)

    def flat_fan(n, path):
        write_fan(path, n, 0.02)

    def steep_fan(n, path):
        write_fan(path, n, 1.0)

    def many_parts(n, folder):
        generate_inputs.write_brick(folder, references=n)

    cases = [("same name", 20000, same_name, "info"),
             ("many meshes", 20000, many_meshes, "info"),
             ("long names", 400, long_names, "info"),
             ("polygon", 5000, polygon, "x"),
             ("star polygon", 5000, star, "x"),
             ("many parts", 10000, many_parts, "inc"),
             ("flat fan", 50000, flat_fan, "x"),
             ("steep fan", 50000, steep_fan, "x")]
    print("Machine: %d cores, load average %s" % (os.cpu_count(), " ".join("%.1f" % l for l in os.getloadavg())))
    print("Median CPU seconds (user + sys) of %d runs" % args.runs)
    print("%-14s %9s %9s %9s %9s %7s" % ("case", "size", "CPU s", "2 x size", "CPU s", "ratio"))
    for label, n, make, action in cases:
        if args.cases and not any(label.startswith(c) for c in args.cases):
            continue
        times = []
        for m in (size(n), 2 * size(n)):
            stem = os.path.join(work, "%s-%d" % (label.replace(" ", "_"), m))
            if action == "inc":
                make(m, stem)
                source = os.path.join(stem, "model.ldr")
            else:
                source = stem + ".x"
                make(m, source)
            if action == "info":
                command = [convert, "-q", "--info", source]
            else:
                command = [convert, "-q", source, "-o", stem + "-out." + action]
            if action == "inc":
                command += ["--search-path", "%s;%s" % (os.path.join(stem, "parts"), os.path.join(stem, "p"))]
            times.append(cpu_seconds(command, env, args.runs))
        ratio = times[1] / times[0] if times[0] > 0 else float("nan")
        print("%-14s %9d %9.2f %9d %9.2f %7.2f" % (label, size(n), times[0], 2 * size(n), times[1], ratio))


if __name__ == "__main__":
    main()
