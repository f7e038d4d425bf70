#include "settings/fields.h"

#include <cstring>
#include <string>

namespace {

// The splitter's state is shared by first_field and next_field for the life
// of the program: callers walk one text at a time with a chain of calls and
// no handle. The text is kept as a copy so a caller may free its own.
struct FieldSplitter {
  std::string text;
  std::size_t position = 0;
  bool active = false;
  char result[kMaxFieldLength + 1] = {};
};

FieldSplitter splitter;

const char* take_field() {
  splitter.result[0] = '\0';
  if (!splitter.active) return nullptr;
  std::size_t end = splitter.text.find(';', splitter.position);
  if (end == std::string::npos) return nullptr;
  std::size_t length = end - splitter.position;
  if (length > static_cast<std::size_t>(kMaxFieldLength)) length = kMaxFieldLength;
  std::memcpy(splitter.result, splitter.text.data() + splitter.position, length);
  splitter.result[length] = '\0';
  splitter.position = end + 1;
  return splitter.result;
}

}  // namespace

const char* first_field(const char* text) {
  splitter.active = text != nullptr;
  splitter.text = text ? text : "";
  splitter.position = 0;
  return take_field();
}

const char* next_field() { return take_field(); }
