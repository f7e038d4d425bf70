#include "settings/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "settings/c_numeric.h"
#include "settings/settings_text.h"

namespace {

using settings_text::Line;
using settings_text::Store;

// Files larger than this are not a settings store; they read as empty and
// are never overwritten.
constexpr off_t kLargestStore = 64 * 1024 * 1024;

bool valid_owner(const char* owner) {
  if (!owner || !*owner) return false;
  if (!std::strcmp(owner, ".") || !std::strcmp(owner, "..")) return false;
  return std::strchr(owner, '/') == nullptr;
}

// Sections are backslash-separated names; none may be empty and none may
// hold a line end, which the file form cannot carry in a header.
bool valid_section(const char* section) {
  if (!section || !*section) return false;
  std::size_t length = std::strlen(section);
  if (section[0] == '\\' || section[length - 1] == '\\') return false;
  if (std::strstr(section, "\\\\")) return false;
  return std::strpbrk(section, "\r\n") == nullptr;
}

struct OwnerFiles {
  std::string folder;
  std::string file;
  std::string lock;
  std::string temporary;
};

bool owner_files(const char* owner, OwnerFiles* files) {
  std::string root = SettingsRootFolder();
  if (root.empty() || !valid_owner(owner)) return false;
  files->folder = root;
  files->file = root + "/" + owner + ".conf";
  files->lock = files->file + ".lock";
  files->temporary = files->file + ".tmp";
  return true;
}

bool make_folders(const std::string& folder) {
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (i != folder.size() && folder[i] != '/') continue;
    std::string part = folder.substr(0, i);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info;
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

enum class ReadResult { kOk, kMissing, kUnreadable };

ReadResult read_store_file(const std::string& path, std::string* bytes, mode_t* mode) {
  bytes->clear();
  // O_NONBLOCK: opening a FIFO put in the file's place would otherwise wait for a writer
  // forever; it is then refused below as no regular file.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kUnreadable;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kLargestStore) {
    close(fd);
    return ReadResult::kUnreadable;
  }
  if (mode) *mode = info.st_mode & 07777;
  char chunk[16384];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      close(fd);
      return ReadResult::kUnreadable;
    }
    if (got == 0) break;
    bytes->append(chunk, static_cast<std::size_t>(got));
    if (bytes->size() > static_cast<std::size_t>(kLargestStore)) {
      close(fd);
      return ReadResult::kUnreadable;
    }
  }
  close(fd);
  return ReadResult::kOk;
}

bool write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Replaces the owner's file so that every reader sees either the old or the
// new file whole, even if this process dies on the way: the new text goes
// to a temporary file in the same folder, is forced to disk, and is renamed
// over the old one. Only called under the owner's lock, which is why one
// fixed temporary name suffices (a leftover from a killed writer is removed
// first).
//
// A store that lives only for one process run (the batch converter's private copy, removed at
// its end) is marked by MORVANE_SETTINGS_SCRATCH=1 in the environment: its files are still
// replaced whole, but not forced to disk, which would cost a disk flush per value written.
bool scratch_store() {
  const char* scratch = std::getenv("MORVANE_SETTINGS_SCRATCH");
  return scratch != nullptr && std::strcmp(scratch, "1") == 0;
}

bool replace_store_file(const OwnerFiles& files, const std::string& bytes, mode_t mode) {
  // Whatever a killed writer left under the temporary name goes first: opening a FIFO or
  // following a link there would block or write elsewhere.
  unlink(files.temporary.c_str());
  int fd =
      open(files.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return false;
  fchmod(fd, mode);
  const bool durable = !scratch_store();
  bool ok = write_all(fd, bytes) && (!durable || fsync(fd) == 0);
  ok = close(fd) == 0 && ok;
  if (!ok || rename(files.temporary.c_str(), files.file.c_str()) != 0) {
    unlink(files.temporary.c_str());
    return false;
  }
  if (!durable) return true;
  int folder = open(files.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

// The owner's exclusive lock for one read-change-write; released when the
// object ends or the process dies.
class OwnerLock {
 public:
  explicit OwnerLock(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~OwnerLock() {
    if (fd_ >= 0) close(fd_);
  }
  OwnerLock(const OwnerLock&) = delete;
  OwnerLock& operator=(const OwnerLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

enum class Change { kOpened, kStored, kFailed };

// Opens the section under the owner's lock, creating it when missing, and
// stores `value` under `name` when a name is given. `store` receives the
// file's contents after the change.
Change change_store(const OwnerFiles& files, const std::string& section, const char* name,
                    const std::string* value, Store* store) {
  if (!make_folders(files.folder)) return Change::kFailed;
  OwnerLock lock(files.lock);
  if (!lock.held()) return Change::kFailed;
  std::string bytes;
  mode_t mode = 0600;
  // A file that exists but cannot be read is left alone: rewriting it would
  // lose whatever it holds.
  if (read_store_file(files.file, &bytes, &mode) == ReadResult::kUnreadable) return Change::kFailed;
  *store = settings_text::parse_store(bytes);
  bool changed = settings_text::create_section(store, section);
  if (name && settings_text::set_value(store, section, name, *value)) changed = true;
  if (changed && !replace_store_file(files, settings_text::format_store(*store), mode))
    return Change::kFailed;
  return name ? Change::kStored : Change::kOpened;
}

// The same for several values of one section: one lock, one rewrite.
bool change_store_values(const OwnerFiles& files, const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
  if (!make_folders(files.folder)) return false;
  OwnerLock lock(files.lock);
  if (!lock.held()) return false;
  std::string bytes;
  mode_t mode = 0600;
  if (read_store_file(files.file, &bytes, &mode) == ReadResult::kUnreadable) return false;
  Store store = settings_text::parse_store(bytes);
  bool changed = settings_text::create_section(&store, section);
  for (const auto& value : values)
    if (settings_text::set_value(&store, section, value.first, value.second)) changed = true;
  return !changed || replace_store_file(files, settings_text::format_store(store), mode);
}

// The owner's file as it is now with `section` present: read without the
// lock when the section already exists (the rename makes every read whole),
// else created under the lock. False when the section cannot be opened.
bool open_section(const char* owner, const char* section, Store* store) {
  OwnerFiles files;
  if (!valid_section(section) || !owner_files(owner, &files)) return false;
  std::string bytes;
  ReadResult read = read_store_file(files.file, &bytes, nullptr);
  if (read == ReadResult::kUnreadable) return false;
  if (read == ReadResult::kOk) {
    *store = settings_text::parse_store(bytes);
    if (settings_text::has_section_levels(*store, section)) return true;
  }
  // No file yet, or the section is missing: create it under the lock.
  return change_store(files, section, nullptr, nullptr, store) == Change::kOpened;
}

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 sequence.
std::size_t fitting_length(const char* text, std::size_t length, std::size_t limit) {
  if (length <= limit) return length;
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

void copy_cut(char* destination, std::size_t size, const char* text, std::size_t length) {
  std::size_t n = fitting_length(text, length, size - 1);
  std::memcpy(destination, text, n);
  destination[n] = '\0';
}

bool read_value(const char* owner, const char* section, const char* name, std::string* value) {
  Store store;
  if (!open_section(owner, section, &store)) return false;
  const Line* line = settings_text::find_value(store, section, name ? name : "");
  if (!line) return false;
  *value = line->value;
  return true;
}

// A double as the store keeps it: "%.6lf" with ".", of any length.
std::string six_decimals(double value) {
  CNumericScope numbers;
  int length = std::snprintf(nullptr, 0, "%.6lf", value);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), "%.6lf", value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

std::string SettingsRootFolder() {
  // XDG_CONFIG_HOME is taken only when absolute, as the base-directory rules
  // ask; otherwise ~/.config.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      struct passwd* entry = getpwuid(getuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') return std::string();
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base != "/") base.push_back('/');
  return base + "Kelmar Software";
}

int SettingsCountValues(const char* owner, const char* section, unsigned long* count) {
  if (count) *count = 0;
  Store store;
  if (!open_section(owner, section, &store)) return 0;
  if (count)
    *count = static_cast<unsigned long>(settings_text::section_values(store, section).size());
  return 1;
}

int SettingsEnumValue(const char* owner, const char* section, unsigned long index, char* name,
                      unsigned long* name_size, unsigned* type, char* data,
                      unsigned long* data_size) {
  Store store;
  if (!open_section(owner, section, &store)) return 0;
  std::vector<const Line*> values = settings_text::section_values(store, section);
  if (index >= values.size()) return 0;
  const Line& line = *values[index];
  if (type) *type = SETTINGS_TYPE_TEXT;
  bool fits = true;
  if (name_size) {
    if (!name || line.name.size() + 1 > *name_size)
      fits = false;
    else
      std::memcpy(name, line.name.c_str(), line.name.size() + 1);
    *name_size = static_cast<unsigned long>(line.name.size());
  } else {
    fits = false;
  }
  if (data_size) {
    if (data) {
      if (line.value.size() + 1 > *data_size)
        fits = false;
      else
        std::memcpy(data, line.value.c_str(), line.value.size() + 1);
    }
    *data_size = static_cast<unsigned long>(line.value.size() + 1);
  } else if (data) {
    fits = false;
  }
  return fits ? 1 : 0;
}

int SettingsWriteString(const char* owner, const char* section, const char* name,
                        const char* text) {
  OwnerFiles files;
  if (!valid_section(section) || !owner_files(owner, &files)) return 0;
  std::string value = text ? text : "";
  Store store;
  return change_store(files, section, name ? name : "", &value, &store) == Change::kStored;
}

int SettingsReadSection(const char* owner, const char* section,
                        std::vector<std::pair<std::string, std::string>>* values) {
  if (values) values->clear();
  Store store;
  if (!open_section(owner, section, &store)) return 0;
  if (values)
    for (const Line* line : settings_text::section_values(store, section))
      values->emplace_back(line->name, line->value);
  return 1;
}

int SettingsWriteStrings(const char* owner, const char* section,
                         const std::vector<std::pair<std::string, std::string>>& values) {
  OwnerFiles files;
  if (!valid_section(section) || !owner_files(owner, &files)) return 0;
  return change_store_values(files, section, values) ? 1 : 0;
}

int SettingsWriteInt(const char* owner, const char* section, const char* name, int value) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  return SettingsWriteString(owner, section, name, text);
}

int SettingsWriteDouble(const char* owner, const char* section, const char* name, double value) {
  return SettingsWriteString(owner, section, name, six_decimals(value).c_str());
}

bool SettingsReadText(const char* owner, const char* section, const char* name,
                      const std::string& default_text, std::string& result) {
  std::string value;
  if (read_value(owner, section, name, &value)) {
    result = std::move(value);
    return true;
  }
  result = default_text;
  return false;
}

int SettingsReadString(const char* owner, const char* section, const char* name,
                       const char* default_text, char* destination, std::size_t destination_size) {
  std::string value;
  bool found = read_value(owner, section, name, &value);
  if (!destination || destination_size == 0) return 1;
  if (found)
    copy_cut(destination, destination_size, value.c_str(), value.size());
  else if (default_text)
    copy_cut(destination, destination_size, default_text, std::strlen(default_text));
  return 1;
}

int SettingsReadInt(const char* owner, const char* section, const char* name, int default_value,
                    int* value) {
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "%ld", static_cast<long>(default_value));
  std::string text;
  SettingsReadText(owner, section, name, fallback, text);
  long long number;
  {
    CNumericScope numbers;
    number = std::strtoll(text.c_str(), nullptr, 10);
  }
  if (number > INT_MAX) number = INT_MAX;
  if (number < INT_MIN) number = INT_MIN;
  if (value) *value = static_cast<int>(number);
  return 1;
}

namespace {

// The longest leading decimal number of `text` after white space: sign,
// digits with an optional ".", an optional exponent. Names such as "inf" or
// "nan" and hexadecimal forms are not numbers here.
std::string leading_decimal(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::strchr(" \t\n\v\f\r", text[i]) && text[i]) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::string();
  std::size_t mantissa_end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) i = mantissa_end;
  }
  return text.substr(start, i - start);
}

}  // namespace

int SettingsReadDouble(const char* owner, const char* section, const char* name,
                       double default_value, double* value) {
  std::string text;
  SettingsReadText(owner, section, name, six_decimals(default_value), text);
  std::string number = leading_decimal(text);
  double result = 0.0;
  if (!number.empty()) {
    CNumericScope numbers;
    result = std::strtod(number.c_str(), nullptr);
  }
  if (value) *value = result;
  return 1;
}
