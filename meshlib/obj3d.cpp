#include "meshlib/obj3d.h"

#include "settings/memory.h"

Obj3d::Obj3d(const char* name, int32_t kind) : name_(dup_text(name ? name : "")), kind_(kind) {}

Obj3d::~Obj3d() {
  if (name_) must_free(name_);
  name_ = nullptr;
}

void Obj3d::set_name(const char* name) {
  // Copy before freeing: name may point into the old name.
  char* copy = dup_text(name ? name : "");
  if (name_) must_free(name_);
  name_ = copy;
}
