// The decoding pipeline under a slow and a stopping consumer: chunks come
// in member order with the right bytes, memory stays within its budget, and
// neither the writer nor the workers can wait for each other forever
// (a regression test: a new head's worker once waited for a wake-up that
// the writer only sent after it had itself begun to wait).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "unzdll/engine/DecodePipeline.h"
#include "unzdll/engine/ZipDirectory.h"
#include "unzdll/tests/TestArchive.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Stored members of the given contents, named m0, m1, ...
Bytes StoredArchive(const std::vector<Bytes>& contents) {
  std::vector<testarchive::Entry> entries;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    // Built in two steps: GCC 12 warns wrongly about "m" + std::to_string.
    std::string name("m");
    name += std::to_string(i);
    entries.push_back({name, std::string(contents[i].begin(), contents[i].end()), false});
  }
  return testarchive::MakeArchive(entries);
}

class Pipeline : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    std::mt19937 random(7);
    // Empty, tiny, sub-chunk and multi-chunk members, enough of them to
    // exhaust the budget many times over.
    const std::vector<std::size_t> sizes = {0, 1, 5000, 100000, DecodePipeline::kChunkSize - 1,
                                            DecodePipeline::kChunkSize, DecodePipeline::kChunkSize + 1, 700000};
    for (int i = 0; i < 160; ++i) {
      Bytes content(sizes[random() % sizes.size()]);
      for (auto& b : content) b = static_cast<std::uint8_t>(random());
      contents_.push_back(std::move(content));
    }
    std::string fileName("decode_pipeline_test_");
    fileName += std::to_string(GetParam());
    path_ = fs::temp_directory_path() / (fileName + ".zip");
    const Bytes archive = StoredArchive(contents_);
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(archive.data()),
                                                 static_cast<std::streamsize>(archive.size()));
    ArchiveFile file(path_.string());
    members_ = ReadZipDirectory(file);
    ASSERT_EQ(members_.size(), contents_.size());
    for (const ZipMember& member : members_) jobs_.push_back(&member);
  }
  void TearDown() override { fs::remove(path_); }

  std::vector<Bytes> contents_;
  fs::path path_;
  std::vector<ZipMember> members_;
  std::vector<const ZipMember*> jobs_;
};

TEST_P(Pipeline, DeliversEveryMemberInOrderToASlowWriter) {
  DecodePipeline pipeline(path_.string(), jobs_, "", GetParam());
  for (std::size_t job = 0; job < jobs_.size(); ++job) {
    // Now and then the writer dawdles, so the workers run into the budget.
    if (job % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Bytes got;
    Chunk chunk;
    while (pipeline.Next(job, chunk) == NextChunk::Taken) {
      EXPECT_LE(chunk.size, DecodePipeline::kChunkSize);
      got.insert(got.end(), chunk.bytes.get(), chunk.bytes.get() + chunk.size);
      pipeline.Recycle(std::move(chunk));
    }
    EXPECT_EQ(pipeline.Result(job).status, DecodeStatus::Ok) << job;
    ASSERT_EQ(got, contents_[job]) << job;
  }
}

TEST_P(Pipeline, StopsWhileWorkersWaitOnTheBudget) {
  DecodePipeline pipeline(path_.string(), jobs_, "", GetParam());
  Chunk chunk;
  ASSERT_TRUE(pipeline.Next(3, chunk) == NextChunk::Taken || pipeline.Result(3).status == DecodeStatus::Ok);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  pipeline.Stop();
  EXPECT_EQ(pipeline.Next(4, chunk), NextChunk::JobDone);
  // The destructor joins the workers: the test ends only if they all woke.
}

INSTANTIATE_TEST_SUITE_P(Workers, Pipeline, ::testing::Values(1u, 2u, 4u));

}  // namespace
