// The extraction engine when its decoding workers cannot start: a worker
// whose buffers cannot be allocated, and threads the system will not start.
// Every member must still be extracted whole, and nothing short may ever be
// committed as extracted.
//
// This program replaces the global operator new so that a test can make the
// decoding workers' buffer allocations fail while the calling thread's
// succeed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "unzdll/engine/UnzipEngine.h"
#include "unzdll/tests/TestArchive.h"

#if defined(__linux__) && defined(__x86_64__)
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#define TAV_CAN_REFUSE_THREADS 1
#endif

namespace {

// The worker's input buffer, the first thing a decoding worker allocates.
constexpr std::size_t kWorkerBufferSize = 256 * 1024;

std::atomic<int> g_allocationsToFail{0};
thread_local bool t_spared = false;  // the test's own thread never fails

// Takes one failure off the count, if any is left.
bool TakeFailure() {
  int left = g_allocationsToFail.load();
  while (left > 0 && !g_allocationsToFail.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

void* Allocate(std::size_t size) {
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}

// Out of line, so that the compiler does not pair free with new itself.
__attribute__((noinline)) void Release(void* memory) noexcept { std::free(memory); }

}  // namespace

void* operator new(std::size_t size) {
  if (size == kWorkerBufferSize && !t_spared && TakeFailure()) {
    // Late, as a thread the system scheduled last: the others are at work.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    throw std::bad_alloc();
  }
  return Allocate(size);
}
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }

namespace {

namespace fs = std::filesystem;
using testarchive::Entry;

// Members of every kind of size, several of them longer than one chunk.
std::vector<Entry> Members() {
  std::vector<Entry> entries;
  for (int i = 0; i < 12; ++i) {
    std::string data;
    const std::size_t size = i % 3 == 0 ? 700000 + static_cast<std::size_t>(i) : 1000 * static_cast<std::size_t>(i) + 1;
    for (std::size_t j = 0; j < size; ++j) data.push_back(static_cast<char>('a' + (j * 7 + static_cast<std::size_t>(i)) % 23));
    entries.push_back({"member" + std::to_string(i) + ".txt", data, i % 2 == 0});
  }
  return entries;
}

class WorkerFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    t_spared = true;
    folder_ = testarchive::NewScratchFolder("unzdll_worker_faults");
    fs::create_directories(folder_ / "out");
    testarchive::WriteFile(folder_ / "archive.zip", testarchive::MakeArchive(members_));
    options_.archivePath = (folder_ / "archive.zip").string();
    options_.targetFolder = (folder_ / "out").string();
    options_.overwrite = true;
  }
  void TearDown() override {
    g_allocationsToFail = 0;
    fs::remove_all(folder_);
  }

  // Runs the extraction; a slow writer lets the workers get ahead of it.
  int Run(bool slowStart = false) {
    return RunUnzip(options_, [this, slowStart](const UnzipEvent& event) {
      if (event.action == UnzipAction::Message) messages_.push_back(event.text);
      if (slowStart && event.action == UnzipAction::MemberStart && event.text == members_[0].name)
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      return true;
    });
  }

  // Every member is in the target folder with all of its bytes.
  void ExpectEveryMemberWhole() {
    for (const Entry& member : members_) {
      const std::string found = testarchive::ReadText(folder_ / "out" / member.name);
      EXPECT_EQ(found.size(), member.data.size()) << member.name;
      EXPECT_TRUE(found == member.data) << member.name;
    }
  }

  std::vector<Entry> members_ = Members();
  fs::path folder_;
  UnzipOptions options_;
  std::vector<std::string> messages_;
};

TEST_F(WorkerFaults, AWorkerThatCannotAllocateItsBuffersLeavesTheMembersToTheOthers) {
  // An existing file must survive whatever happens to its member.
  testarchive::WriteFile(folder_ / "out" / members_[1].name, {'o', 'l', 'd'});
  g_allocationsToFail = 1;
  EXPECT_EQ(Run(true), static_cast<int>(members_.size()));
  EXPECT_EQ(messages_, std::vector<std::string>{});
  ExpectEveryMemberWhole();
}

TEST_F(WorkerFaults, WhenNoWorkerCanStartTheCallingThreadDecodesEveryMember) {
  g_allocationsToFail = 1000;
  EXPECT_EQ(Run(), static_cast<int>(members_.size()));
  EXPECT_EQ(messages_, std::vector<std::string>{});
  ExpectEveryMemberWhole();
}

TEST_F(WorkerFaults, WithoutMemoryAnywhereNothingIsReportedAsExtracted) {
  // The calling thread's own buffer fails too: every member is refused,
  // none is committed, and the file that was there stays.
  testarchive::WriteFile(folder_ / "out" / members_[0].name, {'o', 'l', 'd'});
  t_spared = false;
  g_allocationsToFail = 1000;
  const int extracted = Run();
  t_spared = true;
  EXPECT_EQ(extracted, 0);
  EXPECT_EQ(messages_.size(), members_.size());
  EXPECT_EQ(testarchive::ReadText(folder_ / "out" / members_[0].name), "old");
  for (std::size_t i = 1; i < members_.size(); ++i) EXPECT_FALSE(fs::exists(folder_ / "out" / members_[i].name));
}

#if defined(TAV_CAN_REFUSE_THREADS)
// From here on, this thread can start no thread: the system answers every
// attempt "try again", as it does when threads or memory run out.
bool RefuseNewThreads() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone, 2, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone3, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

TEST_F(WorkerFaults, WhenNoThreadCanBeStartedTheCallingThreadDecodesEveryMember) {
  // In a child process, which the refusal binds for the rest of its life.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!RefuseNewThreads()) _exit(200);
    int extracted = 0;
    try {
      extracted = Run();
    } catch (...) {
      _exit(201);
    }
    _exit(messages_.empty() ? extracted : 202);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(members_.size()));
  ExpectEveryMemberWhole();
}
#endif

}  // namespace
