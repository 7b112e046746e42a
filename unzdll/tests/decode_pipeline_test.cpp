// The decoding pipeline under a slow and a stopping consumer: chunks come
// in member order with the right bytes, memory stays within its budget, and
// neither the writer nor the workers can wait for each other forever
// (a regression test: a new head's worker once waited for a wake-up that
// the writer only sent after it had itself begun to wait).
#include <gtest/gtest.h>
#include <zlib.h>

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

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Stored members of the given contents, named m0, m1, ...
Bytes StoredArchive(const std::vector<Bytes>& contents) {
  Bytes out;
  Bytes directory;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    std::string name("m");
    name += std::to_string(i);
    const auto size = static_cast<std::uint32_t>(contents[i].size());
    const auto crc = static_cast<std::uint32_t>(crc32(0, contents[i].data(), size));
    const auto offset = static_cast<std::uint32_t>(out.size());
    Put(out, 0x04034b50, 4);
    Put(out, 20, 2), Put(out, 0, 2), Put(out, 0, 2), Put(out, 0, 4);
    Put(out, crc, 4), Put(out, size, 4), Put(out, size, 4);
    Put(out, static_cast<std::uint32_t>(name.size()), 2), Put(out, 0, 2);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), contents[i].begin(), contents[i].end());
    Put(directory, 0x02014b50, 4);
    Put(directory, 20, 2), Put(directory, 20, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4);
    Put(directory, crc, 4), Put(directory, size, 4), Put(directory, size, 4);
    Put(directory, static_cast<std::uint32_t>(name.size()), 2);
    Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4);
    Put(directory, offset, 4);
    directory.insert(directory.end(), name.begin(), name.end());
  }
  const auto directoryAt = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  Put(out, 0x06054b50, 4), Put(out, 0, 4);
  Put(out, static_cast<std::uint32_t>(contents.size()), 2), Put(out, static_cast<std::uint32_t>(contents.size()), 2);
  Put(out, static_cast<std::uint32_t>(directory.size()), 4), Put(out, directoryAt, 4), Put(out, 0, 2);
  return out;
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
    while (pipeline.Next(job, chunk)) {
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
  ASSERT_TRUE(pipeline.Next(3, chunk) || pipeline.Result(3).status == DecodeStatus::Ok);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  pipeline.Stop();
  EXPECT_FALSE(pipeline.Next(4, chunk));
  // The destructor joins the workers: the test ends only if they all woke.
}

INSTANTIATE_TEST_SUITE_P(Workers, Pipeline, ::testing::Values(1u, 2u, 4u));

}  // namespace
