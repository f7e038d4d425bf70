#!/usr/bin/env python3
"""Side-by-side conversion benchmark: morvane-convert against assimp (assimp-utils).

Generates the inputs (DirectX text grids of quads and an LDraw model, see generate_inputs.py),
then runs every case several times, alternating between the programs, each run under
/usr/bin/time -v, and prints the medians of wall time, CPU time (user + sys) and peak resident
memory, with the ratio ours / assimp. Settings come from a private, empty settings folder, so
every option has its default (smooth angle 70, unify off, DOS line ends).

The cases: .x to .x at every grid size; on the grid closest to a million triangles .x to
POV-Ray 3 .inc/.udo, blob wire (edge angle 1), binary glTF, OBJ, binary STL and the POV-Ray
scene .pov; the LDraw model to .inc. Every case has its floor: reading the input and writing as many bytes as our
outputs have (the .inc with its .udo, the .obj with its .mtl), nothing else.

Usage: run_bench.py [--build DIR] [--work DIR] [--runs N] [--sizes T ...] [--no-assimp]
                    [--markdown]
  --build     build folder holding bin/morvane-convert (default: build-perf beside this repo)
  --work      folder for inputs and outputs (default: /tmp/morvane-convert-bench)
  --runs      runs per program and case (default 3)
  --sizes     grid sizes in triangles (default 250000 1000000 4000000)
  --markdown  also print the results as the README's table
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def companions(path):
    """An output file with the companions a writer may put beside it (.udo, .mtl)."""
    return (path, os.path.splitext(path)[0] + ".udo", os.path.splitext(path)[0] + ".mtl")


def measure(command, cwd, env, outputs=()):
    """Runs command under /usr/bin/time -v; returns (wall s, cpu s, peak MiB). The outputs of
    the run before are removed first and the disk is synced (untimed), so that no run pays for
    freeing them or for writing back what an earlier run left in the page cache."""
    for path in outputs:
        for p in companions(path):
            if os.path.exists(p):
                os.remove(p)
    os.sync()
    result = subprocess.run(["/usr/bin/time", "-v"] + command, cwd=cwd, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    report = result.stderr
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command), report[-2000:]))

    def field(name):
        m = re.search(re.escape(name) + r":\s*(\S+)", report)
        return m.group(1)

    wall_text = field("Elapsed (wall clock) time (h:mm:ss or m:ss)")
    parts = [float(p) for p in wall_text.split(":")]
    wall = 0.0
    for p in parts:
        wall = wall * 60 + p
    cpu = float(field("User time (seconds)")) + float(field("System time (seconds)"))
    peak = int(field("Maximum resident set size (kbytes)")) / 1024.0
    return wall, cpu, peak


def median_of(samples):
    return tuple(statistics.median(s[i] for s in samples) for i in range(3))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(REPO, "build-perf"))
    parser.add_argument("--work", default="/tmp/morvane-convert-bench")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", type=int, nargs="+", default=[250000, 1000000, 4000000])
    parser.add_argument("--no-assimp", action="store_true")
    parser.add_argument("--markdown", action="store_true")
    args = parser.parse_args()

    convert = os.path.join(os.path.abspath(args.build), "bin", "morvane-convert")
    if not os.access(convert, os.X_OK):
        sys.exit("no %s: build the target morvane-convert and the plug-ins first" % convert)
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(HERE, "generate_inputs.py"), work] +
                   [str(s) for s in args.sizes], check=True)
    env = dict(os.environ)
    env["XDG_CONFIG_HOME"] = os.path.join(work, "settings")  # defaults for every option
    env.pop("QT_QPA_PLATFORM", None)

    brick = os.path.join(work, "brick")
    search = "%s;%s;" % (os.path.join(brick, "parts"), os.path.join(brick, "p"))
    cases = []  # (label, triangles, ours command, assimp command or None)
    for t in args.sizes:
        grid = os.path.join(work, "grid%d.x" % t)
        cases.append(("x -> x", t, [convert, "-q", grid, "-o", os.path.join(work, "ours.x")],
                      None if args.no_assimp else ["assimp", "export", grid, os.path.join(work, "assimp.x")]))
    # The other writers run on the grid closest to a million triangles (the yardstick).
    t_big = min(args.sizes, key=lambda t: abs(t - 1000000))
    big = os.path.join(work, "grid%d.x" % t_big)
    cases.append(("x -> POV-Ray 3 inc/udo", t_big,
                  [convert, "-q", big, "--to", "POV-Ray3 Moray (*.inc, *.udo)", "-o", os.path.join(work, "ours3.inc")], None))
    cases.append(("x -> blob wire, edge 1", t_big,
                  [convert, "-q", big, "--to", "POV-Ray Moray (Blob) (*.inc, *.udo)", "--edge-angle", "1",
                   "-o", os.path.join(work, "blob.inc")], None))
    # The exchange formats, each against assimp's writer of the same format (binary STL and
    # glTF, OBJ with its material file), and the POV-Ray scene.
    for label, ext, assimp_format in (("x -> glb", ".glb", "glb2"), ("x -> obj", ".obj", "obj"),
                                      ("x -> stl", ".stl", "stlb"), ("x -> pov scene", ".pov", None)):
        assimp_cmd = None
        if assimp_format and not args.no_assimp:
            assimp_cmd = ["assimp", "export", big, os.path.join(work, "assimp" + ext), "-f" + assimp_format]
        cases.append((label, t_big, [convert, "-q", big, "-o", os.path.join(work, "ours" + ext)], assimp_cmd))
    cases.append(("LDraw model -> inc", 0,
                  [convert, "-q", os.path.join(brick, "model.ldr"), "--search-path", search,
                   "-o", os.path.join(work, "brick.inc")], None))

    print("Machine: %d cores, load average %s" % (os.cpu_count(), " ".join("%.1f" % l for l in os.getloadavg())))
    print("Medians of %d runs, programs alternating; CPU = user + sys." % args.runs)
    header = "%-24s %10s  %-8s %8s %8s %9s   %s" % ("case", "triangles", "program", "wall s", "CPU s", "peak MiB", "ours/assimp (wall, CPU, peak)")
    print(header)
    print("-" * len(header))
    sys.stdout.flush()
    per_million = []
    rows = []  # (label, triangles, ours, assimp or None, floor or None)
    for label, triangles, ours_cmd, assimp_cmd in cases:
        ours, theirs = [], []
        for _ in range(args.runs):
            ours.append(measure(ours_cmd, work, env, [ours_cmd[ours_cmd.index("-o") + 1]]))
            if assimp_cmd:
                theirs.append(measure(assimp_cmd, work, env, [assimp_cmd[3]]))
        o = median_of(ours)
        a = median_of(theirs) if theirs else None
        f = None
        tri = "%d" % triangles if triangles else "-"
        print("%-24s %10s  %-8s %8.2f %8.2f %9.1f" % (label, tri, "ours", o[0], o[1], o[2]))
        if a:
            print("%-24s %10s  %-8s %8.2f %8.2f %9.1f   %.2f, %.2f, %.2f" %
                  ("", "", "assimp", a[0], a[1], a[2], o[0] / a[0], o[1] / a[1], o[2] / a[2]))
        if label == "x -> x":
            per_million.append((triangles, o[1] / (triangles / 1e6)))
        # The floor: read the input and write as many bytes as our outputs have.
        out = ours_cmd[ours_cmd.index("-o") + 1]
        size = sum(os.path.getsize(p) for p in companions(out) if os.path.exists(p))
        source = ours_cmd[2]
        floor_out = os.path.join(work, "floor.out")
        floor_cmd = ["sh", "-c", "cat '%s' >/dev/null && head -c %d /dev/zero >'%s'" %
                     (source, size, floor_out)]
        f = median_of([measure(floor_cmd, work, env, [floor_out]) for _ in range(args.runs)])
        print("%-24s %10s  %-8s %8.2f %8.2f %9.1f   (read %.1f MB, write %.1f MB)" %
              ("", "", "floor", f[0], f[1], f[2], os.path.getsize(source) / 1e6, size / 1e6))
        sys.stdout.flush()
        rows.append((label, triangles, o, a, f))
    if per_million:
        print("CPU seconds per million triangles (x -> x): " +
              ", ".join("%d: %.3f" % (t, c) for t, c in per_million))
    if args.markdown:
        print_markdown(rows)


MARKDOWN_LABELS = {
    "x -> x": "`.x` → `.x`",
    "x -> POV-Ray 3 inc/udo": "`.x` → POV-Ray 3 `.inc`/`.udo`",
    "x -> blob wire, edge 1": "`.x` → blob wire (edge angle 1)",
    "x -> glb": "`.x` → `.glb`",
    "x -> obj": "`.x` → `.obj`",
    "x -> stl": "`.x` → binary `.stl`",
    "x -> pov scene": "`.x` → POV-Ray scene `.pov`",
    "LDraw model -> inc": "LDraw model (10,000 references) → `.inc`",
}


def print_markdown(rows):
    """The results as the README's table: ours and assimp's wall and CPU time and peak memory,
    the ratios of wall time and memory, and the floor."""
    print()
    print("| case | triangles | ours wall / CPU s | ours peak MiB | assimp wall / CPU s | "
          "assimp peak MiB | ours / assimp (wall, peak) | floor wall s | ours / floor (wall) |")
    print("|---|---|---|---|---|---|---|---|---|")
    for label, triangles, o, a, f in rows:
        cells = [MARKDOWN_LABELS.get(label, label), "{:,}".format(triangles) if triangles else "–",
                 "%.2f / %.2f" % (o[0], o[1]), "%.0f" % o[2]]
        if a:
            cells += ["%.2f / %.2f" % (a[0], a[1]), "%.0f" % a[2], "%.2f, %.2f" % (o[0] / a[0], o[2] / a[2])]
        else:
            cells += ["–", "–", "–"]
        if f:
            cells += ["%.2f" % f[0], "%.1f" % (o[0] / f[0]) if f[0] > 0 else "–"]
        else:
            cells += ["", ""]
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
