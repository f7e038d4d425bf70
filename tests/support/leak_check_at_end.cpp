// Under the leak checker, every test program checks for leaks when its last test has ended,
// while the threads of the libraries it used (Qt's event readers, Mesa's workers) are still
// waiting, instead of at exit, where those threads are ending: a thread that ends while the
// check stops the process now and then crashes the check itself.

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define MORVANE_LEAK_CHECK 1
#endif
#endif

#ifdef MORVANE_LEAK_CHECK
#include <sanitizer/lsan_interface.h>

namespace {

class LeakCheckAtEnd : public ::testing::Environment {
 public:
  // Reports the leaks and ends the program with the checker's status if there are any; the
  // check at exit then does not run again.
  void TearDown() override { __lsan_do_leak_check(); }
};

const ::testing::Environment* const kLeakCheck =
    ::testing::AddGlobalTestEnvironment(new LeakCheckAtEnd);

}  // namespace
#endif
