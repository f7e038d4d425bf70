#!/usr/bin/env python3
"""Export benchmark of the exchange formats: morvane-convert against `assimp export`.

Writes a DirectX text grid of about 1,000,000 triangles (generate_inputs.py --grid 707), then
converts it to .glb, .obj and .stl with both programs, alternating, several runs each, and
prints the median wall and CPU time (user + sys) of each whole run and the ratios ours /
assimp. Both programs read the same DirectX file first; for reference the reading alone is
timed too (`morvane-convert --info`, and `assimp info`, which also validates and
post-processes, so it costs more than assimp's reading for an export). assimp writes binary
STL with its "stlb" format, as ours does.
Settings come from a private, empty settings folder (smooth angle 70).

Usage: export_vs_assimp.py [--build DIR] [--work DIR] [--runs N] [--quads N]
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import vs_assimp  # noqa: E402


def main():
    args, env, grid, ours = vs_assimp.setup("/tmp/morvane-formats-bench")
    out = lambda name: os.path.join(args.work, name)
    cases = [("import only", [ours, "--quiet", "--info", grid], ["assimp", "info", grid])]
    for ext, assimp_format in (("glb", "glb2"), ("obj", "obj"), ("stl", "stlb")):
        cases.append((ext, [ours, "--quiet", grid, "-o", out("ours." + ext)],
                      ["assimp", "export", grid, out("assimp." + ext), "-f" + assimp_format]))
    print("export of a grid of %d triangles" % (2 * args.quads ** 2))
    vs_assimp.compare(cases, args.runs, env)


if __name__ == "__main__":
    main()
