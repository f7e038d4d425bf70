// Multi-part documents: one file holding several LDraw files, each starting with a line
// "0 FILE <name>" (names may hold blanks). The first section is the model; the others are
// sub-models and parts that references name, and that are found before any file on disk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct DocumentSection {
  std::string name;   // as written after "0 FILE"
  std::size_t begin;  // first byte after the "0 FILE" line
  std::size_t end;    // first byte of the line that ends the section, or the text's end
};

// The sections of text[0, size) in file order. A section ends at the next "0 FILE" line, at a
// "0 NOFILE" line, or at the end of the text. Empty when the text holds no "0 FILE" line.
std::vector<DocumentSection> find_document_sections(const char* text, std::size_t size);
