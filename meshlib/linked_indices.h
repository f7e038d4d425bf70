// Lists of int32 indices kept in one chunk pool per table, newest entry first. The welding
// tables use them for the vertex -> face and vertex -> edge adjacency. A list is a chain of
// chunks of up to three indices; the newest chunk is the list's head and may be partly filled
// (the owner keeps its fill count), older chunks are full. Nothing is ever removed.
//
// Keeping every chunk of a table in one array (instead of one heap block per entry) means no
// allocation per insert; three indices and the link in 16 bytes cost a third less than a node
// per index for the typical six neighbours of a vertex, and a scan for duplicates touches two
// cache lines instead of six. Walking order is the same as a linked list with every new entry
// pushed at the front: newest first.
#pragma once

#include <cstdint>

struct LinkChunk {
  int32_t item[3];  // oldest first within the chunk
  int32_t next;     // pool position of the next (older, full) chunk, or -1
};

// A read-only view of one list: `for (int32_t f : table.faces_of(v))`. The view points into
// the table's pool, so it stays valid only until the next insert into that table.
class LinkedIndices {
 public:
  class iterator {
   public:
    iterator(const LinkChunk* pool, int32_t chunk, int32_t slot)
        : pool_(pool), chunk_(chunk), slot_(slot) {}
    int32_t operator*() const { return pool_[chunk_].item[slot_]; }
    iterator& operator++() {
      if (--slot_ < 0) {
        chunk_ = pool_[chunk_].next;
        slot_ = chunk_ >= 0 ? 2 : 0;
      }
      return *this;
    }
    bool operator==(const iterator& o) const { return chunk_ == o.chunk_ && slot_ == o.slot_; }
    bool operator!=(const iterator& o) const { return !(*this == o); }

   private:
    const LinkChunk* pool_;
    int32_t chunk_;
    int32_t slot_;
  };

  LinkedIndices() : pool_(nullptr), head_(-1), fill_(0) {}
  // head: newest chunk or -1; fill: entries in the head chunk (1 ... 3).
  LinkedIndices(const LinkChunk* pool, int32_t head, int32_t fill)
      : pool_(pool), head_(head), fill_(head >= 0 ? fill : 0) {}

  iterator begin() const { return head_ >= 0 ? iterator(pool_, head_, fill_ - 1) : end(); }
  iterator end() const { return iterator(pool_, -1, 0); }
  bool empty() const { return head_ < 0; }
  // Number of entries; walks the chunks.
  int32_t size() const {
    if (head_ < 0) return 0;
    int32_t n = fill_;
    for (int32_t c = pool_[head_].next; c >= 0; c = pool_[c].next) n += 3;
    return n;
  }

 private:
  const LinkChunk* pool_;
  int32_t head_;
  int32_t fill_;
};
