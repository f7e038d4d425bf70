#!/usr/bin/env python3
"""Writes the inputs of the conversion benchmark into a folder.

grid<T>.x  DirectX text grids of n x n quads ("xof 0302txt 0064"), about T triangles each,
           with a gentle wave in z so that corner normals and numbers are not all alike.
brick/     an LDraw model of 10,000 references to 200 parts (each part nests two sub-parts of
           four shared primitives), with its part folders.

Usage: generate_inputs.py FOLDER [TRIANGLES...]   (default 250000 1000000 4000000)
       generate_inputs.py --grid N OUT.x          (one grid of N x N quads)
       generate_inputs.py --brick FOLDER          (only the LDraw model)
"""
import math
import os
import sys


def write_grid(n, path):
    side = n + 1
    with open(path, "w", newline="\n") as f:
        f.write("xof 0302txt 0064\nHeader {\n 1;\n 0;\n 1;\n}\n\nMesh grid {\n %d;\n" % (side * side))
        last = side * side - 1
        rows = []
        for y in range(side):
            wy = math.cos(y * 0.21)
            for x in range(side):
                z = 0.25 * math.sin(x * 0.37) * wy
                i = y * side + x
                rows.append(" %f;%f;%f;%s\n" % (x, y, z, ";" if i == last else ","))
            if len(rows) > 65536:
                f.write("".join(rows))
                rows = []
        f.write("".join(rows))
        rows = []
        f.write(" %d;\n" % (n * n))
        for y in range(n):
            for x in range(n):
                a = y * side + x
                end = ";" if (x == n - 1 and y == n - 1) else ","
                rows.append(" 4;%d,%d,%d,%d;%s\n" % (a, a + 1, a + side + 1, a + side, end))
            if len(rows) > 65536:
                f.write("".join(rows))
                rows = []
        f.write("".join(rows))
        f.write("}\n")


def fmt(v):
    # Plain short numbers as an LDraw file writes them.
    return ("%g" % v)


def quad(x, y, z):
    return "4 16 %s %s %s %s %s %s %s %s %s %s %s %s\n" % tuple(
        fmt(v) for v in (x, y, z, x + 1, y, z, x + 1, y, z + 1, x, y, z + 1))


def ref(colour, x, y, z, name):
    return "1 %d %s %s %s 1 0 0 0 1 0 0 0 1 %s\n" % (colour, fmt(x), fmt(y), fmt(z), name)


def write_brick(folder, parts_count=200, references=10000, primitives=10):
    parts = os.path.join(folder, "parts")
    prims = os.path.join(folder, "p")
    os.makedirs(os.path.join(parts, "s"), exist_ok=True)
    os.makedirs(prims, exist_ok=True)
    for j in range(primitives):  # a row of 8 quads: 16 triangles
        with open(os.path.join(prims, "prim%d.dat" % j), "w", newline="\n") as f:
            f.write("".join(quad(k, j, 0) for k in range(8)))
    for i in range(parts_count):
        part = quad(i, 0, 0) + quad(i, 1, 0)
        for k in range(2):
            sub = quad(k, i, 0) + quad(k, i, 1)
            for n in range(4):
                sub += ref(16, n * 20, 0, k, "prim%d.dat" % ((i + n) % primitives))
            sub_name = "sub%d_%d.dat" % (i, k)
            with open(os.path.join(parts, "s", sub_name), "w", newline="\n") as f:
                f.write(sub)
            part += ref(16, 0, -24 * k, 0, "s\\" + sub_name)
        with open(os.path.join(parts, "part%d.dat" % i), "w", newline="\n") as f:
            f.write(part)
    with open(os.path.join(folder, "model.ldr"), "w", newline="\n") as f:
        f.write("".join(ref(r % 16, (r % 100) * 40.0, -24.0 * (r // 1000), (r // 100 % 10) * 40.0,
                            "part%d.dat" % (r % parts_count)) for r in range(references)))


def side_for(triangles):
    # n x n quads give 2 n^2 triangles.
    return max(1, int(round(math.sqrt(triangles / 2.0))))


def main(argv):
    if len(argv) >= 3 and argv[1] == "--grid":
        write_grid(int(argv[2]), argv[3])
        return 0
    if len(argv) >= 3 and argv[1] == "--brick":
        write_brick(argv[2])
        return 0
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    counts = [int(a) for a in argv[2:]] or [250000, 1000000, 4000000]
    for t in counts:
        path = os.path.join(folder, "grid%d.x" % t)
        if not os.path.exists(path):
            write_grid(side_for(t), path)
    if not os.path.exists(os.path.join(folder, "brick", "model.ldr")):
        write_brick(os.path.join(folder, "brick"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
