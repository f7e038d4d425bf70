#include "plugin_frame/output_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plugin_frame/early_writeback.h"

namespace {

// The permission bits a new file gets from fopen: 0666 less the process's umask. mkstemp
// creates 0600, which would make every exported file private to its writer.
mode_t new_file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& target) : target_(target) {
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) {
      error_ = std::strerror(EISDIR);
      return;
    }
    // Renaming would replace a read-only file although writing it is not allowed.
    if (access(target.c_str(), W_OK) != 0) {
      error_ = std::strerror(errno);
      return;
    }
  }
  std::string::size_type slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string pattern = folder + "." + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) {
    error_ = std::strerror(errno);
    return;
  }
  temporary_ = name.data();
  fchmod(fd, stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : new_file_mode());
  stream_ = fdopen(fd, "wb");
  if (stream_ == nullptr) {
    error_ = std::strerror(errno);
    close(fd);
    unlink(temporary_.c_str());
    temporary_.clear();
    return;
  }
  writeback_.reset(new EarlyWriteback(fd));
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() {
  writeback_.reset();
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool OutputFile::Commit() {
  if (stream_ == nullptr) return false;
  writeback_.reset();
  bool good = std::fflush(stream_) == 0 && !std::ferror(stream_);
  if (good && fsync(fileno(stream_)) != 0) good = false;
  if (!good) error_ = std::strerror(errno != 0 ? errno : EIO);
  int closed = std::fclose(stream_);
  stream_ = nullptr;
  if (good && closed != 0) {
    good = false;
    error_ = std::strerror(errno);
  }
  if (good && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    good = false;
    error_ = std::strerror(errno);
  }
  if (good)
    temporary_.clear();
  else
    Discard();
  return good;
}
