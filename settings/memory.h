// Allocation with one failure policy for the whole system: when memory runs
// out the process ends at once with exit status 1 and no message. Callers
// never test the results for null.
#pragma once

#include <cstddef>

// A new block of at least `size` bytes (a size of 0 still yields a block).
void* must_alloc(std::size_t size);

// `block` moved or grown to `size` bytes; `block` may be null.
void* must_realloc(void* block, std::size_t size);

// Frees `block`. A null block ends the process with status 1, so callers test
// for null before freeing.
void must_free(void* block);

// A copy of `text` made with must_alloc, to be freed with must_free.
// A null text yields null.
char* dup_text(const char* text);

// Makes `new` follow the same rule: a failed allocation ends the process
// with status 1. Programs call this once at start.
void install_must_new_handler();
