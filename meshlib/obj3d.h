// Obj3d: base of every scene object (kind 0 mesh, kind 2 light). Scene objects cross the
// boundary between host and plug-ins as plain pointers and are deleted through this class by
// the object list's release_object, hence the virtual destructor, the only virtual operation.
#pragma once

#include <cstdint>

class Obj3d {
 public:
  enum : int32_t { kMesh = 0, kLight = 2 };

  // Keeps its own copy of name (a null name is kept as an empty one).
  Obj3d(const char* name, int32_t kind);
  virtual ~Obj3d();

  // Scene objects own heap data and are shared by pointer: they are never copied.
  Obj3d(const Obj3d&) = delete;
  Obj3d& operator=(const Obj3d&) = delete;

  const char* name() const { return name_; }
  // Replaces the name by a copy of name (null counts as empty). name may be name() itself.
  void set_name(const char* name);
  int32_t kind() const { return kind_; }

 private:
  char* name_;
  int32_t kind_;
};
