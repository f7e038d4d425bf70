// ObjectList: the one container that crosses the boundary between the hosts and the plug-ins
// (import results, the host's loaded objects, importer instances, plug-in libraries, lights).
// A singly linked list of element pointers with an optional release callback: when set, the
// list owns its elements and calls release on each of them when it is cleared or destroyed.
#pragma once

#include <cstdint>

// Release callback for lists that own scene objects: deletes a mesh or a light (kind 0 or 2)
// through the virtual destructor of Obj3d; a null element or one of any other kind is left
// alone.
void release_object(void* element);

class ObjectList {
 public:
  typedef void (*Release)(void* element);

  explicit ObjectList(Release release = nullptr);
  ~ObjectList();  // clear()
  ObjectList(const ObjectList&) = delete;
  ObjectList& operator=(const ObjectList&) = delete;

  // Adds element at the end; elements may repeat and may be null.
  void append(void* element);

  // Element at index (0-based), or null when index is out of range. A walk from the head, but
  // the list remembers where the last lookup ended, so a loop over get(0) ... get(count - 1)
  // costs one pass in all.
  void* get(int32_t index) const;

  int32_t count() const { return count_; }

  // Releases every element (when a release callback is set) and frees every node, head first.
  // The release callback is dropped as well, so a cleared list no longer owns what is
  // appended to it later.
  void clear();

  // An import result whose run the user cancelled: empty, and the host keeps what it had
  // before the import instead of clearing its own list for it.
  void mark_cancelled() { cancelled_ = true; }
  bool cancelled() const { return cancelled_; }

 private:
  struct Node {
    void* element;
    Node* next;
  };

  Node* head_;
  Node* tail_;
  int32_t count_;
  Release release_;
  // Last node found by get() and its index; a cache only, reset by clear().
  mutable Node* last_node_;
  mutable int32_t last_index_;
  bool cancelled_ = false;
};
