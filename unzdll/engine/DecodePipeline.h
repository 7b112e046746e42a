// Decodes members on worker threads while the calling thread writes them.
//
// Jobs are decoded in parallel, each by one worker, into chunks of up to
// kChunkSize bytes (a smaller member takes only what it needs of one); the
// calling thread takes the chunks of job 0, then of job 1, and so on, in
// order (the "head" job). Memory stays bounded: a worker on a job other
// than the head waits while kBudgetBytes or kMaxChunksOut chunks are out,
// and the head's worker waits while kHeadDepth of its chunks are not yet
// taken. The head's worker never waits on the budget, so the calling thread
// always gets its next chunk and the pipeline cannot deadlock. Buffers are
// reused from chunk to chunk: memory fresh from the system is slow to touch.
//
// A worker that cannot start (its thread, its buffers or its own handle on
// the archive cannot be had) leaves the jobs to the others; once no worker
// is left, the calling thread decodes the jobs nobody took itself, one at a
// time (DecodeHere), so a run never ends early because of it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "unzdll/engine/MemberDecoder.h"
#include "unzdll/engine/ZipDirectory.h"

struct Chunk {
  std::unique_ptr<std::uint8_t[]> bytes;  // kChunkSize bytes
  std::size_t capacity = 0;               // how many of them the job may fill
  std::size_t size = 0;                   // how many it did
};

// What Next found for the calling thread.
enum class NextChunk {
  Taken,        // a chunk of the job
  JobDone,      // the job has no more; Result(job) is final
  DecodeHere,   // no worker will decode the job: the caller does (DecodeHere)
};

class DecodePipeline {
 public:
  static constexpr std::size_t kChunkSize = 256 * 1024;
  static constexpr std::size_t kBudgetBytes = 12 * kChunkSize;
  static constexpr std::size_t kMaxChunksOut = 64;
  static constexpr std::size_t kHeadDepth = 4;

  // Starts up to `workers` workers that decode jobs (members
  // ReadZipDirectory found sound) from the archive at archivePath, each with
  // its own file handle. Workers that cannot be started are done without.
  DecodePipeline(const std::string& archivePath, std::vector<const ZipMember*> jobs, std::string password,
                 unsigned workers);
  // Stops the workers and waits for them.
  ~DecodePipeline();
  DecodePipeline(const DecodePipeline&) = delete;
  DecodePipeline& operator=(const DecodePipeline&) = delete;

  // Waits for the next chunk of job (jobs are taken in order, each to its
  // end).
  NextChunk Next(std::size_t job, Chunk& chunk);
  // Gives a taken chunk's buffer back for reuse.
  void Recycle(Chunk chunk);
  DecodeResult Result(std::size_t job);
  // Decodes a job Next left to the calling thread, on that thread, handing
  // each chunk to take as it fills (the chunk's buffer is reused afterwards).
  // Exceptions of take pass through.
  DecodeResult DecodeHere(std::size_t job, const std::function<void(const Chunk&)>& take);

  // Makes the workers give up; Next answers JobDone from then on.
  void Stop();

 private:
  class WorkerSink;
  class CallerSink;
  struct Slot {
    std::deque<Chunk> ready;
    bool done = false;
    DecodeResult result;
  };

  void Work();
  void WorkerLeft();
  void DecodeJobs(MemberDecoder& decoder);
  void DecodeJob(MemberDecoder& decoder, std::size_t job);
  // Waits until job may take another chunk of capacity bytes; a chunk
  // without bytes when stopping.
  Chunk TakeChunk(std::size_t job, std::size_t capacity);
  void Deliver(std::size_t job, Chunk chunk);
  void Finish(std::size_t job, DecodeResult result);

  const std::string archivePath_;
  const std::vector<const ZipMember*> jobs_;
  const std::string password_;

  std::mutex mutex_;
  std::condition_variable workersWake_;
  std::condition_variable writerWake_;
  std::vector<Slot> slots_;
  std::size_t head_ = 0;
  std::size_t nextJob_ = 0;
  std::size_t bytesOut_ = 0;
  std::size_t chunksOut_ = 0;
  std::vector<std::unique_ptr<std::uint8_t[]>> spare_;  // buffers for reuse
  unsigned workersWaiting_ = 0;
  unsigned workersLive_ = 0;  // started and not given up
  bool writerWaiting_ = false;
  bool stopping_ = false;
  std::vector<std::thread> workers_;

  // The calling thread's own means of decoding, made when first needed.
  std::unique_ptr<ArchiveFile> callerArchive_;
  std::unique_ptr<MemberDecoder> callerDecoder_;
  Chunk callerChunk_;
};

// How many workers suit this machine: one per core, within reason.
unsigned DecodeWorkerCount();
