#include "settings/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Out of memory there is nothing sensible left to report with: end at once.
[[noreturn]] void out_of_memory() { std::_Exit(1); }

}  // namespace

void* must_alloc(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (!block) out_of_memory();
  return block;
}

void* must_realloc(void* block, std::size_t size) {
  // realloc with size 0 may free the block and return null; keep a block.
  void* grown = std::realloc(block, size == 0 ? 1 : size);
  if (!grown) out_of_memory();
  return grown;
}

void must_free(void* block) {
  if (!block) out_of_memory();
  std::free(block);
}

char* dup_text(const char* text) {
  if (!text) return nullptr;
  std::size_t length = std::strlen(text);
  char* copy = static_cast<char*>(must_alloc(length + 1));
  std::memcpy(copy, text, length + 1);
  return copy;
}

void install_must_new_handler() { std::set_new_handler(out_of_memory); }
