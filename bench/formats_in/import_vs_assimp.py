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
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import vs_assimp  # noqa: E402


def main():
    args, env, grid, ours = vs_assimp.setup("/tmp/morvane-import-bench")
    cases = []
    for ext, assimp_format, import_class in (("glb", "glb2", "glTF 2.0 (*.gltf, *.glb)"),
                                             ("obj", "obj", "Wavefront OBJ (*.obj)"),
                                             ("stl", "stlb", "STL (*.stl)")):
        model = os.path.join(args.work, "grid." + ext)
        if not os.path.exists(model):
            subprocess.run(["assimp", "export", grid, model, "-f" + assimp_format], check=True,
                           stdout=subprocess.DEVNULL)
        cases.append((ext, [ours, "--quiet", "--info", "--from", import_class, model],
                      ["assimp", "info", model]))
    print("import of a grid of %d triangles" % (2 * args.quads ** 2))
    vs_assimp.compare(cases, args.runs, env)


if __name__ == "__main__":
    main()
