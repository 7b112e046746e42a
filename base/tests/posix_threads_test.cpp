// The C++ runtime on our own POSIX thread calls (PosixThreads_win.cpp), under
// load from many threads: std::thread, std::mutex, std::condition_variable,
// exceptions thrown everywhere at once, function-local statics, keys; and a
// library built like the shipped ones, loaded and unloaded again and again.
#include <windows.h>
#include <pthread.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/Exception.h"

namespace {

constexpr int kThreads = 8;

// Starts count threads that each run body(i) as soon as all of them exist.
template <typename Body>
void RunTogether(int count, Body body) {
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([&, i] {
      ++ready;
      while (ready.load() < count) SwitchToThread();
      body(i);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

TEST(PosixThreads, AreOursNotTheThreadsLibrary) {
  // Ours keeps a bare SRW lock in the mutex's word: zero once used and free.
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);
  pthread_mutex_unlock(&mutex);
  EXPECT_EQ(mutex, 0);
  pthread_mutex_t recursive = PTHREAD_RECURSIVE_MUTEX_INITIALIZER;
  pthread_mutex_lock(&recursive);
  pthread_mutex_unlock(&recursive);
  EXPECT_EQ(recursive, 0);
}

TEST(PosixThreads, StartJoinAndCountProcessors) {
  std::vector<int> seen(32, -1);
  std::vector<std::thread> threads;
  for (int i = 0; i < 32; ++i) threads.emplace_back([&seen, i] { seen[static_cast<std::size_t>(i)] = i; });
  for (std::thread& thread : threads) {
    EXPECT_TRUE(thread.joinable());
    thread.join();
    EXPECT_FALSE(thread.joinable());
  }
  for (int i = 0; i < 32; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);

  DWORD_PTR processMask = 0;
  DWORD_PTR systemMask = 0;
  ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask));
  EXPECT_EQ(std::thread::hardware_concurrency(), static_cast<unsigned>(std::popcount(processMask)));
}

TEST(PosixThreads, MutexAndConditionHandItemsOverExactlyOnce) {
  constexpr int kItemsEach = 20000;
  std::mutex mutex;
  std::condition_variable notEmpty;
  std::condition_variable notFull;
  std::vector<int> queue;
  long long taken = 0;
  int takenCount = 0;
  int producersLeft = kThreads / 2;
  RunTogether(kThreads, [&](int i) {
    if (i % 2 == 0) {
      for (int item = 1; item <= kItemsEach; ++item) {
        std::unique_lock lock(mutex);
        notFull.wait(lock, [&] { return queue.size() < 16; });
        queue.push_back(item);
        notEmpty.notify_one();
      }
      const std::lock_guard lock(mutex);
      --producersLeft;
      notEmpty.notify_all();
    } else {
      for (;;) {
        std::unique_lock lock(mutex);
        notEmpty.wait(lock, [&] { return !queue.empty() || producersLeft == 0; });
        if (queue.empty()) return;
        taken += queue.back();
        ++takenCount;
        queue.pop_back();
        notFull.notify_all();
      }
    }
  });
  EXPECT_EQ(takenCount, kThreads / 2 * kItemsEach);
  EXPECT_EQ(taken, static_cast<long long>(kThreads / 2) * kItemsEach * (kItemsEach + 1) / 2);
}

TEST(PosixThreads, ExceptionsThrownOnEveryThreadAtOnce) {
  // Each throw takes the exception allocator's lock and the thread's own
  // exception globals; each catch walks the unwinder's registered frames.
  std::atomic<int> caught{0};
  std::atomic<int> wrong{0};
  RunTogether(kThreads, [&](int i) {
    for (int round = 0; round < 3000; ++round) {
      const std::string expected = std::to_string(i) + "/" + std::to_string(round);
      try {
        try {
          throw Exception(expected);
        } catch (const Exception& inner) {
          throw std::runtime_error(inner.Message());
        }
      } catch (const std::exception& outer) {
        if (outer.what() != expected) ++wrong;
        ++caught;
      }
    }
  });
  EXPECT_EQ(caught.load(), kThreads * 3000);
  EXPECT_EQ(wrong.load(), 0);
}

std::atomic<int> slowStaticsMade{0};

struct SlowToMake {
  SlowToMake() {
    ++slowStaticsMade;
    Sleep(100);
  }
};

const SlowToMake& TheSlowStatic() {
  static const SlowToMake instance;
  return instance;
}

TEST(PosixThreads, FunctionLocalStaticIsMadeOnceWhileOthersWait) {
  std::vector<const SlowToMake*> seen(kThreads);
  RunTogether(kThreads, [&](int i) { seen[static_cast<std::size_t>(i)] = &TheSlowStatic(); });
  EXPECT_EQ(slowStaticsMade.load(), 1);
  for (const SlowToMake* address : seen) EXPECT_EQ(address, &TheSlowStatic());
}

std::atomic<int> onceRuns{0};
std::atomic<bool> onceDone{false};

void SlowOnce() {
  Sleep(100);
  ++onceRuns;
  onceDone = true;
}

TEST(PosixThreads, OnceRunsOnceAndEveryCallerWaitsForIt) {
  pthread_once_t once = PTHREAD_ONCE_INIT;
  std::atomic<int> returnedEarly{0};
  RunTogether(kThreads, [&](int) {
    pthread_once(&once, SlowOnce);
    if (!onceDone) ++returnedEarly;
  });
  EXPECT_EQ(onceRuns.load(), 1);
  EXPECT_EQ(returnedEarly.load(), 0);
}

std::atomic<int> destroyedValue{0};

void RememberDestroyed(void* value) { destroyedValue = static_cast<int>(reinterpret_cast<std::intptr_t>(value)); }

TEST(PosixThreads, KeyValuesArePerThreadAndDestroyedWhenTheirThreadEnds) {
  pthread_key_t key{};
  ASSERT_EQ(pthread_key_create(&key, RememberDestroyed), 0);
  ASSERT_EQ(pthread_setspecific(key, reinterpret_cast<void*>(std::intptr_t{1})), 0);
  void* seenByThread = reinterpret_cast<void*>(std::intptr_t{-1});
  std::thread thread([&] {
    seenByThread = pthread_getspecific(key);
    pthread_setspecific(key, reinterpret_cast<void*>(std::intptr_t{42}));
  });
  thread.join();
  EXPECT_EQ(seenByThread, nullptr);
  EXPECT_EQ(destroyedValue.load(), 42);
  EXPECT_EQ(pthread_getspecific(key), reinterpret_cast<void*>(std::intptr_t{1}));
  pthread_setspecific(key, nullptr);
  EXPECT_EQ(pthread_key_delete(key), 0);
}

TEST(PosixThreads, LibraryLoadedAndUnloadedManyTimesGivesItsThreadSlotsBack) {
  // More rounds than the system has thread-local slots (1088): each round's
  // exceptions take a slot, which the unload must give back.
  std::array<char, MAX_PATH> exe{};
  ASSERT_GT(GetModuleFileNameA(nullptr, exe.data(), MAX_PATH), 0u);
  std::string probe = exe.data();
  probe.replace(probe.find_last_of('\\') + 1, std::string::npos, "posix_threads_probe.dll");
  using Call = int (*)(int);
  for (int round = 0; round < 1200; ++round) {
    const HMODULE library = LoadLibraryA(probe.c_str());
    ASSERT_NE(library, nullptr) << probe << " round " << round;
    const auto call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, "ThrowAndCatchHereAndOnAThread")));
    ASSERT_NE(call, nullptr);
    ASSERT_EQ(call(round % 50), 2 * (round % 50)) << "round " << round;
    ASSERT_TRUE(FreeLibrary(library));
  }
}

}  // namespace
