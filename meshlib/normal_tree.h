// The unit face normals around one vertex of very many faces, kept in a tree of boxes so that
// the sum of those within a smoothing angle of a given normal is found without looking at
// every one of them: a box whose normals all lie within the angle gives its sum at once, a box
// whose normals all lie outside it is passed over, and only the normals of boxes the border of
// the angle runs through are tested one by one, with the same test as everywhere else.
//
// The sum of a box is made once, the sum for a normal from the boxes in a fixed order: the
// result depends on the normal asked for (faces of one normal get the same bits) but is not
// added up in the vertex's order, so its last bits can differ from that sum's.
#pragma once

#include <cstdint>
#include <vector>

#include "meshlib/vec3d.h"

class AngleBelow;

class NormalTree {
 public:
  // A normal and its length, as FaceNormalCache keeps them.
  struct Normal {
    Vec3d normal;
    double length;
  };
  // Normals whose length is 1 within kUnitTolerance; the caller keeps the others.
  static constexpr double kUnitTolerance = 1e-6;
  static bool is_unit(double length) {
    return length > 1.0 - kUnitTolerance && length < 1.0 + kUnitTolerance;
  }

  explicit NormalTree(std::vector<Normal> normals);

  // Adds to sum the normals n of the tree with below(dot(own, n) / (own_length * |n|)), where
  // own_length is 1 within kUnitTolerance.
  void add_close(const Vec3d& own, double own_length, const AngleBelow& below, Vec3d& sum) const;

 private:
  struct Node {
    Vec3d lo, hi;        // the box of the node's normals
    Vec3d sum;           // their sum
    int32_t first, end;  // the node's normals
    int32_t left;        // children left and left + 1, or -1 for a leaf
  };
  // Fills nodes_[node] for the normals [first, end), which it reorders.
  void build(int32_t node, int32_t first, int32_t end);
  void add_close(int32_t node, const Vec3d& own, double own_length, const AngleBelow& below,
                 Vec3d& sum) const;

  std::vector<Normal> normals_;
  std::vector<Node> nodes_;
};
