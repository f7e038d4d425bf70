// Singly linked lists of int32 indices kept in one node pool per table, newest entry first.
// The welding tables use them for the vertex -> face and vertex -> edge adjacency. Nodes are
// never removed; a node's position in the pool is its link, -1 ends a list. Keeping every node
// of a table in one array (instead of one heap block per node) costs 8 bytes a node and no
// allocation per insert, and walking order is the same: newest first.
#pragma once

#include <cstdint>

struct LinkNode {
  int32_t item;
  int32_t next;  // pool position of the next (older) node, or -1
};

// A read-only view of one list: `for (int32_t f : table.faces_of(v))`. The view points into
// the table's pool, so it stays valid only until the next insert into that table.
class LinkedIndices {
 public:
  class iterator {
   public:
    iterator(const LinkNode* pool, int32_t at) : pool_(pool), at_(at) {}
    int32_t operator*() const { return pool_[at_].item; }
    iterator& operator++() {
      at_ = pool_[at_].next;
      return *this;
    }
    bool operator!=(const iterator& o) const { return at_ != o.at_; }
    bool operator==(const iterator& o) const { return at_ == o.at_; }

   private:
    const LinkNode* pool_;
    int32_t at_;
  };

  LinkedIndices() : pool_(nullptr), head_(-1) {}
  LinkedIndices(const LinkNode* pool, int32_t head) : pool_(pool), head_(head) {}

  iterator begin() const { return iterator(pool_, head_); }
  iterator end() const { return iterator(pool_, -1); }
  bool empty() const { return head_ < 0; }
  // Number of entries; walks the list.
  int32_t size() const {
    int32_t n = 0;
    for (int32_t at = head_; at >= 0; at = pool_[at].next) ++n;
    return n;
  }

 private:
  const LinkNode* pool_;
  int32_t head_;
};
