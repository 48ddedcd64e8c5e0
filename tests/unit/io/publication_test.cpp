#include "io/publication.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace pixorale {
namespace {

std::atomic<bool> setNamed{false};
std::atomic<int> handled{0};
std::atomic<bool> handledAfterTheSet{false};

void Handler(int) {
  handledAfterTheSet = setNamed.load();
  ++handled;
}

// A signal whose handler runs on another thread than the one naming a set (a batch of -j 2)
// returns at once and comes back, on the naming thread, once the set is named; meanwhile no
// new set starts.
TEST(Publication, ASignalOnAnotherThreadComesBackOnceTheSetIsNamed) {
  struct sigaction action {};
  struct sigaction before {};
  action.sa_handler = Handler;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &before), 0);

  EXPECT_FALSE(DeferSignalDuringPublication(SIGUSR1)) << "nothing is being named";
  std::atomic<bool> naming{false};
  std::atomic<bool> deferred{false};
  std::thread namer([&] {
    const Publication publication;
    naming = true;
    while (!deferred) std::this_thread::yield();
    setNamed = true;
  });
  while (!naming) std::this_thread::yield();
  EXPECT_TRUE(DeferSignalDuringPublication(SIGUSR1));
  EXPECT_FALSE(Publication().started()) << "the program is ending: no new set is named";
  deferred = true;
  namer.join();

  EXPECT_EQ(handled, 1);
  EXPECT_TRUE(handledAfterTheSet);
  EXPECT_TRUE(Publication().started()) << "the signal was handled";
  sigaction(SIGUSR1, &before, nullptr);
}

}  // namespace
}  // namespace pixorale
