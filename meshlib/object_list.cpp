#include "meshlib/object_list.h"

#include "meshlib/obj3d.h"
#include "settings/memory.h"

void release_object(void* element) {
  Obj3d* obj = static_cast<Obj3d*>(element);
  if (obj && (obj->kind() == Obj3d::kMesh || obj->kind() == Obj3d::kLight)) delete obj;
}

ObjectList::ObjectList(Release release)
    : head_(nullptr),
      tail_(nullptr),
      count_(0),
      release_(release),
      last_node_(nullptr),
      last_index_(-1) {}

ObjectList::~ObjectList() { clear(); }

void ObjectList::append(void* element) {
  Node* node = static_cast<Node*>(must_alloc(sizeof(Node)));
  node->element = element;
  node->next = nullptr;
  if (tail_)
    tail_->next = node;
  else
    head_ = node;
  tail_ = node;
  ++count_;
}

void* ObjectList::get(int32_t index) const {
  if (index < 0 || index >= count_) return nullptr;
  Node* node = head_;
  int32_t at = 0;
  if (last_node_ && last_index_ <= index) {
    node = last_node_;
    at = last_index_;
  }
  for (; at < index; ++at) node = node->next;
  last_node_ = node;
  last_index_ = index;
  return node->element;
}

void ObjectList::clear() {
  // Detach first: a release callback that looks at this list sees it empty, not half freed.
  Node* node = head_;
  Release release = release_;
  head_ = tail_ = nullptr;
  count_ = 0;
  release_ = nullptr;
  last_node_ = nullptr;
  last_index_ = -1;
  while (node) {
    Node* next = node->next;
    if (release) release(node->element);
    must_free(node);
    node = next;
  }
}
