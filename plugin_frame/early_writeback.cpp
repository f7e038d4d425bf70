#include "plugin_frame/early_writeback.h"

#include <chrono>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Writing starts a megabyte at a time, whole megabytes only, so that the page the writer is
// still filling is never sent to the disk half written (and then written again).
constexpr off_t kStep = off_t(1) << 20;
constexpr std::chrono::milliseconds kInterval(10);

}  // namespace

EarlyWriteback::EarlyWriteback(int fd) : fd_(fd) {
  if (fd_ >= 0) thread_ = std::thread(&EarlyWriteback::Run, this);
}

EarlyWriteback::~EarlyWriteback() { Stop(); }

void EarlyWriteback::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void EarlyWriteback::Run() {
  off_t started = 0;  // bytes below this have been handed to the disk
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, kInterval, [this] { return stopping_; })) {
    // The writer's position is how far the file has been written; a writer that goes back to
    // patch a header only re-dirties pages that the final sync writes again.
    const off_t position = lseek(fd_, 0, SEEK_CUR);
    const off_t whole = position & ~(kStep - 1);
    if (whole > started) {
      lock.unlock();
      sync_file_range(fd_, started, whole - started, SYNC_FILE_RANGE_WRITE);
      lock.lock();
      started = whole;
    }
  }
}
