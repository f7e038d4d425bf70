#include "plugins/formats_in/model_reader_process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace reader_stream;

constexpr char kProgramName[] = "morvane-model-reader";

std::uint64_t PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGESIZE);
  return pages > 0 && page > 0 ? static_cast<std::uint64_t>(pages) * page : 0;
}

// Decodes the stream as it arrives; a mesh's corners are handed on in whole triangles as soon
// as they are there, so that a large mesh never lies in the buffer at once.
class StreamDecoder {
 public:
  explicit StreamDecoder(const ModelReaderHooks& hooks) : hooks_(hooks) {}

  // Takes the bytes read so far; false on a stream that breaks the format (error() says why).
  bool Feed(const char* data, size_t size) {
    buffer_.insert(buffer_.end(), data, data + size);
    size_t at = 0;
    bool ok = true;
    while (ok) {
      const size_t before = at;
      ok = Step(&at);
      if (at == before) break;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(at));
    return ok;
  }

  bool finished() const { return finished_; }
  const std::string& error() const { return error_; }
  bool reader_error() const { return reader_error_; }
  std::uint32_t meshes() const { return meshes_; }

 private:
  size_t Available(size_t at) const { return buffer_.size() - at; }
  std::uint32_t U32(size_t at) const {
    std::uint32_t value;
    std::memcpy(&value, buffer_.data() + at, sizeof value);
    return value;
  }
  bool Broken(const char* why) {
    error_ = std::string("the model reader sent a broken stream (") + why + ")";
    return false;
  }

  // Decodes one piece at *at when it is complete; leaves *at where it is when more is needed.
  bool Step(size_t* at) {
    if (finished_) return Available(*at) == 0 || Broken("data after the end");
    if (!header_) {
      if (Available(*at) < 8) return true;
      if (std::memcmp(buffer_.data() + *at, kMagic, 4) != 0 || U32(*at + 4) != kVersion)
        return Broken("unknown header");
      header_ = true;
      *at += 8;
      return true;
    }
    if (corners_left_ > 0) {
      const size_t whole = Available(*at) / (9 * sizeof(float));
      const std::uint32_t n = static_cast<std::uint32_t>(
          whole < corners_left_ ? whole : static_cast<size_t>(corners_left_));
      if (n == 0) return true;
      // The buffer holds bytes, so the floats are copied out to be aligned.
      floats_.resize(static_cast<size_t>(n) * 9);
      std::memcpy(floats_.data(), buffer_.data() + *at, floats_.size() * sizeof(float));
      *at += floats_.size() * sizeof(float);
      corners_left_ -= n;
      if (hooks_.add_triangles) hooks_.add_triangles(floats_.data(), n);
      if (corners_left_ == 0) {
        ++meshes_;
        if (hooks_.end_mesh) hooks_.end_mesh();
      }
      return true;
    }
    if (Available(*at) < 1) return true;
    const char kind = buffer_[*at];
    switch (kind) {
      case kProgress:
        if (Available(*at) < 9) return true;
        if (hooks_.progress) hooks_.progress(U32(*at + 1), U32(*at + 5));
        *at += 9;
        return true;
      case kEnd:
        finished_ = true;
        *at += 1;
        return true;
      case kLog:
      case kError:
      case kMesh: {
        if (Available(*at) < 5) return true;
        const std::uint32_t length = U32(*at + 1);
        if (length >= kMaxText) return Broken("overlong text");
        size_t need = 5 + length;
        if (kind == kMesh) need += sizeof(MeshMaterial) + 4;
        if (Available(*at) < need) return true;
        const std::string text(buffer_.data() + *at + 5, length);
        if (kind == kLog) {
          if (hooks_.log) hooks_.log(text);
        } else if (kind == kError) {
          error_ = text.empty() ? std::string("the file could not be read") : text;
          reader_error_ = true;
          finished_ = true;
        } else {
          MeshMaterial material;
          std::memcpy(&material, buffer_.data() + *at + 5 + length, sizeof material);
          const std::uint32_t triangles = U32(*at + 5 + length + sizeof material);
          if (triangles == 0) return Broken("empty mesh");
          corners_left_ = triangles;
          if (hooks_.begin_mesh) hooks_.begin_mesh(text, material, triangles);
        }
        *at += need;
        return true;
      }
      default:
        return Broken("unknown record");
    }
  }

  const ModelReaderHooks& hooks_;
  std::vector<char> buffer_;
  std::vector<float> floats_;
  bool header_ = false;
  bool finished_ = false;
  bool reader_error_ = false;
  std::uint32_t corners_left_ = 0;
  std::uint32_t meshes_ = 0;
  std::string error_;
};

std::string SignalText(int signal_number) {
  const char* what = strsignal(signal_number);
  return std::to_string(signal_number) + (what != nullptr ? std::string(", ") + what : "");
}

void EndChild(pid_t child, int* status) {
  kill(child, SIGKILL);
  while (waitpid(child, status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

const char kReaderCancelled[] = "cancelled";

ModelReaderLimits DefaultModelReaderLimits(std::uint64_t file_bytes) {
  ModelReaderLimits limits;
  const std::uint64_t seconds = 60 + (file_bytes >> 20);
  limits.seconds = seconds < 86400 ? static_cast<int>(seconds) : 86400;
  const std::uint64_t memory = PhysicalMemory() / 4 * 3;
  limits.memory_bytes = memory > (2ull << 30) ? memory : (2ull << 30);
  if (const char* seconds = std::getenv("MORVANE_READER_SECONDS")) {
    const long value = std::strtol(seconds, nullptr, 10);
    if (value > 0) limits.seconds = static_cast<int>(value);
  }
  if (const char* megabytes = std::getenv("MORVANE_READER_MEMORY_MB")) {
    const long long value = std::strtoll(megabytes, nullptr, 10);
    if (value > 0) limits.memory_bytes = static_cast<std::uint64_t>(value) << 20;
  }
  return limits;
}

std::string ModelReaderBesidePlugin() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&ModelReaderBesidePlugin), &info) == 0 ||
      info.dli_fname == nullptr)
    return kProgramName;
  std::string library = info.dli_fname;
  const size_t slash = library.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : library.substr(0, slash);
  return folder + "/../" + kProgramName;
}

std::string RunModelReader(const std::string& program, const std::string& file,
                           const ModelReaderLimits& limits, const ModelReaderHooks& hooks) {
  if (access(program.c_str(), X_OK) != 0)
    return "the model reader program is missing (" + program + "): " + std::strerror(errno);
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0)
    return std::string("cannot start the model reader: ") + std::strerror(errno);

  // Everything the child needs is made before the fork: between fork and exec only calls that
  // are safe in a copy of a process with threads.
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(file.c_str()),
                             nullptr};
  struct rlimit memory_limit;
  memory_limit.rlim_cur = memory_limit.rlim_max = limits.memory_bytes;
  struct rlimit no_core = {0, 0};

  const pid_t child = fork();
  if (child < 0) {
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    return std::string("cannot start the model reader: ") + std::strerror(errno);
  }
  if (child == 0) {
    const int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, STDIN_FILENO);
      dup2(null_fd, STDERR_FILENO);
    }
    dup2(pipe_ends[1], STDOUT_FILENO);
    setrlimit(RLIMIT_AS, &memory_limit);
    setrlimit(RLIMIT_CORE, &no_core);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  const int fd = pipe_ends[0];

  // A hook that throws (the frame's progress reports do on Cancel) must not leave the child
  // running nor its pipe open.
  struct ChildGuard {
    pid_t child;
    int fd;
    bool armed = true;
    ~ChildGuard() {
      if (!armed) return;
      close(fd);
      int status;
      EndChild(child, &status);
    }
  } guard{child, pipe_ends[0]};
  StreamDecoder decoder(hooks);
  const auto start = std::chrono::steady_clock::now();
  std::vector<char> chunk(1 << 20);
  std::string error;
  bool eof = false;
  int status = 0;
  bool reaped = false;
  while (!eof) {
    struct pollfd wait_for = {fd, POLLIN, 0};
    const int ready = poll(&wait_for, 1, 100);
    if (ready < 0 && errno != EINTR) {
      error = std::string("lost the model reader: ") + std::strerror(errno);
      break;
    }
    if (ready > 0) {
      const ssize_t n = read(fd, chunk.data(), chunk.size());
      if (n < 0 && errno != EINTR && errno != EAGAIN) {
        error = std::string("lost the model reader: ") + std::strerror(errno);
        break;
      }
      if (n == 0) eof = true;
      if (n > 0 && !decoder.Feed(chunk.data(), static_cast<size_t>(n))) {
        error = decoder.error();
        break;
      }
    }
    if (hooks.cancelled && hooks.cancelled()) {
      error = kReaderCancelled;
      break;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed > std::chrono::seconds(limits.seconds)) {
      error =
          "reading took longer than " + std::to_string(limits.seconds) + " seconds and was stopped";
      break;
    }
  }
  guard.armed = false;
  close(fd);
  if (!eof) {
    EndChild(child, &status);
    reaped = true;
  }
  // The stream ended; a child that closed it without ending itself gets the rest of the time.
  while (!reaped) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child || (done < 0 && errno != EINTR)) break;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(limits.seconds)) {
      EndChild(child, &status);
      error =
          "reading took longer than " + std::to_string(limits.seconds) + " seconds and was stopped";
      break;
    }
    if (hooks.cancelled && hooks.cancelled()) {
      EndChild(child, &status);
      error = kReaderCancelled;
      break;
    }
    usleep(10000);
  }
  if (!error.empty()) return error;
  if (decoder.reader_error()) return decoder.error();
  if (WIFSIGNALED(status)) {
    const int number = WTERMSIG(status);
    std::string text = "the model reader crashed on this file (signal " + SignalText(number) + ")";
    // A reader past its memory limit gets no more memory and usually aborts.
    if (number == SIGABRT || number == SIGKILL)
      text += "; the file may be damaged or need more than " +
              std::to_string(limits.memory_bytes >> 20) + " MB of memory";
    return text;
  }
  if (!decoder.finished()) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
      return "the model reader program could not be started (" + program + ")";
    return "the model reader ended without finishing (exit status " +
           std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
  }
  return std::string();
}
