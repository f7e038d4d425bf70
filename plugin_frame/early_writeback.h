#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Starts the disk writing a file's bytes while an export is still formatting the rest of it.
// An export file is synced before it replaces its target; without this the whole file would
// wait in the page cache until that sync and the disk would start only then (a 180 MB
// DirectX file took 0.15 s of sync after all formatting had ended). A thread of its own asks
// the kernel, every few milliseconds, to begin writing every whole megabyte the file has
// gained since; it never waits for the disk, so the final sync finds most bytes written.
// The thread lives from construction to Stop (or destruction), inside one export call.
class EarlyWriteback {
 public:
  explicit EarlyWriteback(int fd);
  ~EarlyWriteback();

  EarlyWriteback(const EarlyWriteback&) = delete;
  EarlyWriteback& operator=(const EarlyWriteback&) = delete;

  // Ends the thread; the file descriptor may be closed afterwards. Safe to call twice.
  void Stop();

 private:
  void Run();

  int fd_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};
