#include "settings/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/types.h>

#include <cstring>
#include <string>

#include "settings/c_numeric.h"

std::FILE* open_regular_file(const char* path) {
  // O_NONBLOCK makes opening a FIFO return at once; the descriptor is only kept for a regular
  // file, whose reads never block anyway.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) close(fd);
  return file;
}

long file_size(std::FILE* file) {
  if (!file) return -1;
  off_t position = ftello(file);
  if (position < 0 || fseeko(file, 0, SEEK_END) != 0) return -1;
  off_t size = ftello(file);
  fseeko(file, position, SEEK_SET);
  return static_cast<long>(size);
}

namespace {

// Consumes the line end that starts with `c`: "\r" takes a following "\n"
// with it, so that "\r", "\n" and "\r\n" each end exactly one line.
void finish_line_end(int c, std::FILE* file) {
  if (c == '\r') {
    int next = std::fgetc(file);
    if (next != '\n' && next != EOF) std::ungetc(next, file);
  }
}

bool ends_line(int c) { return c < 32 && c != '\t'; }

}  // namespace

char* read_line(char* buffer, int capacity, std::FILE* file) {
  if (!buffer || !file || capacity < 2) return nullptr;
  int stored = 0;
  bool any = false;
  while (stored < capacity - 1) {
    int c = std::fgetc(file);
    if (c == EOF) break;
    any = true;
    if (ends_line(c)) {
      finish_line_end(c, file);
      buffer[stored] = '\0';
      return buffer;
    }
    buffer[stored++] = c == '\t' ? ' ' : static_cast<char>(c);
  }
  if (!any) {
    buffer[0] = '\0';
    return nullptr;
  }
  // A full buffer: when the line ends right here, consume its end now so a
  // line of exactly capacity - 1 characters is not followed by an empty one.
  if (stored == capacity - 1) {
    int c = std::fgetc(file);
    if (c != EOF) {
      if (ends_line(c))
        finish_line_end(c, file);
      else
        std::ungetc(c, file);
    }
  }
  buffer[stored] = '\0';
  return buffer;
}

const char* skip_blanks(const char* text) {
  if (!text) return text;
  while (*text == ' ') ++text;
  return text;
}

char* skip_blanks(char* text) {
  if (!text) return text;
  while (*text == ' ') ++text;
  return text;
}

int vprint_delimited(int ld_mode, std::FILE* file, const char* format, std::va_list args) {
  if (!file || !format) return -1;
  // Formats into a buffer that grows to the text's length: long texts (a
  // search path, a long object name) are written whole.
  char small[1024];
  std::string large;
  const char* text = small;
  int length;
  {
    CNumericScope numbers;
    std::va_list again;
    va_copy(again, args);
    length = std::vsnprintf(small, sizeof small, format, args);
    if (length >= static_cast<int>(sizeof small)) {
      large.resize(static_cast<std::size_t>(length) + 1);
      std::vsnprintf(&large[0], large.size(), format, again);
      text = large.data();
    }
    va_end(again);
  }
  if (length < 0) return -1;
  const char* end_of_line = ld_mode == LD_DOS    ? "\r\n"
                            : ld_mode == LD_UNIX ? "\n"
                            : ld_mode == LD_MAC  ? "\r"
                                                 : "";
  // Runs between newlines go out in one call each; the stream buffers them.
  const char* run = text;
  const char* end = text + length;
  while (run < end) {
    const char* newline = static_cast<const char*>(std::memchr(run, '\n', end - run));
    const char* stop = newline ? newline : end;
    std::fwrite(run, 1, static_cast<std::size_t>(stop - run), file);
    if (!newline) break;
    std::fputs(end_of_line, file);
    run = newline + 1;
  }
  return length;
}

int print_delimited(int ld_mode, std::FILE* file, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  int length = vprint_delimited(ld_mode, file, format, args);
  va_end(args);
  return length;
}

int print_vector(int ld_mode, std::FILE* file, double x, double y, double z, int separator_mode) {
  char separator = separator_mode == 1 ? ',' : separator_mode == 2 ? '\t' : ' ';
  return print_delimited(ld_mode, file, "%f%c%f%c%f", x, separator, y, separator, z);
}

int print_vector(int ld_mode, std::FILE* file, const double* xyz, int separator_mode) {
  if (!xyz) return -1;
  return print_vector(ld_mode, file, xyz[0], xyz[1], xyz[2], separator_mode);
}
