// The decoding workers and the hand-over of their chunks.
#include "unzdll/engine/DecodePipeline.h"

#include <algorithm>

#include "unzdll/engine/ArchiveFile.h"

// A worker's view of its job's output: fills one chunk at a time and hands
// each full chunk to the writer.
class DecodePipeline::WorkerSink : public DecodeSink {
 public:
  WorkerSink(DecodePipeline& pipeline, std::size_t job)
      : pipeline_(pipeline), job_(job), remaining_(std::uint64_t{pipeline.jobs_[job]->size} + 1) {}

  std::span<std::uint8_t> Room() override {
    if (chunk_.bytes && chunk_.size == chunk_.capacity) pipeline_.Deliver(job_, std::move(chunk_));
    if (!chunk_.bytes) {
      // The member's stated size plus the one byte that shows it lied.
      const auto capacity = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kChunkSize));
      chunk_ = pipeline_.TakeChunk(job_, capacity);
      if (!chunk_.bytes) return {};
    }
    return {chunk_.bytes.get() + chunk_.size, chunk_.capacity - chunk_.size};
  }

  void Produced(std::size_t count) override {
    chunk_.size += count;
    remaining_ -= std::min<std::uint64_t>(remaining_ - 1, count);
  }

  // Hands over what is left: a partly filled chunk, or an unused one back.
  void Flush() {
    if (!chunk_.bytes) return;
    if (chunk_.size > 0)
      pipeline_.Deliver(job_, std::move(chunk_));
    else
      pipeline_.Recycle(std::move(chunk_));
  }

 private:
  DecodePipeline& pipeline_;
  const std::size_t job_;
  std::uint64_t remaining_;
  Chunk chunk_;
};

DecodePipeline::DecodePipeline(const std::string& archivePath, std::vector<const ZipMember*> jobs,
                               std::string password, unsigned workers)
    : archivePath_(archivePath), jobs_(std::move(jobs)), password_(std::move(password)), slots_(jobs_.size()) {
  const unsigned count = std::clamp<unsigned>(workers, 1, static_cast<unsigned>(std::max<std::size_t>(jobs_.size(), 1)));
  workers_.reserve(count);
  try {
    for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();
    for (std::thread& worker : workers_) worker.join();
    throw;
  }
}

DecodePipeline::~DecodePipeline() {
  Stop();
  for (std::thread& worker : workers_) worker.join();
}

void DecodePipeline::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workersWake_.notify_all();
  writerWake_.notify_all();
}

void DecodePipeline::Work() {
  try {
    ArchiveFile archive(archivePath_);
    MemberDecoder decoder(archive);
    DecodeJobs(archive, decoder);
  } catch (const std::exception&) {
    // No memory for a worker's buffers: the run ends as if stopped, and the
    // members not yet written are reported as not extracted.
    Stop();
  }
}

void DecodePipeline::DecodeJobs(ArchiveFile& archive, MemberDecoder& decoder) {
  for (;;) {
    std::size_t job;
    {
      const std::lock_guard lock(mutex_);
      if (stopping_ || nextJob_ == jobs_.size()) return;
      job = nextJob_++;
    }
    if (!archive.IsOpen())
      Finish(job, {DecodeStatus::Unreadable, "the archive cannot be opened again for reading"});
    else
      DecodeJob(decoder, job);
  }
}

void DecodePipeline::DecodeJob(MemberDecoder& decoder, std::size_t job) {
  WorkerSink sink(*this, job);
  DecodeResult result;
  try {
    result = decoder.Decode(*jobs_[job], password_, sink);
    sink.Flush();
  } catch (const std::exception&) {
    // Out of memory or a failed thread primitive: this member fails, the
    // others may still succeed.
    result = {DecodeStatus::Unreadable, "it could not be decoded (out of memory)"};
  }
  Finish(job, std::move(result));
}

Chunk DecodePipeline::TakeChunk(std::size_t job, std::size_t capacity) {
  std::unique_lock lock(mutex_);
  ++workersWaiting_;
  workersWake_.wait(lock, [&] {
    return stopping_ || (job == head_ ? slots_[job].ready.size() < kHeadDepth
                                      : bytesOut_ + capacity <= kBudgetBytes && chunksOut_ < kMaxChunksOut);
  });
  --workersWaiting_;
  if (stopping_) return {};
  bytesOut_ += capacity;
  ++chunksOut_;
  if (!spare_.empty()) {
    Chunk chunk{std::move(spare_.back()), capacity, 0};
    spare_.pop_back();
    return chunk;
  }
  lock.unlock();
  return {std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize), capacity, 0};
}

void DecodePipeline::Deliver(std::size_t job, Chunk chunk) {
  const std::lock_guard lock(mutex_);
  slots_[job].ready.push_back(std::move(chunk));
  if (writerWaiting_) writerWake_.notify_one();
}

void DecodePipeline::Finish(std::size_t job, DecodeResult result) {
  const std::lock_guard lock(mutex_);
  slots_[job].done = true;
  slots_[job].result = std::move(result);
  if (writerWaiting_) writerWake_.notify_one();
}

bool DecodePipeline::Next(std::size_t job, Chunk& chunk) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[job];
  // A new head's worker may be waiting on the budget, which binds it no more.
  if (head_ != job) {
    head_ = job;
    if (workersWaiting_ > 0) workersWake_.notify_all();
  }
  writerWaiting_ = true;
  writerWake_.wait(lock, [&] { return stopping_ || !slot.ready.empty() || slot.done; });
  writerWaiting_ = false;
  if (stopping_ || slot.ready.empty()) return false;
  // The head's worker may be waiting for its queue to shrink.
  const bool wasFull = slot.ready.size() >= kHeadDepth;
  chunk = std::move(slot.ready.front());
  slot.ready.pop_front();
  if (wasFull && workersWaiting_ > 0) workersWake_.notify_all();
  return true;
}

void DecodePipeline::Recycle(Chunk chunk) {
  const std::lock_guard lock(mutex_);
  bytesOut_ -= chunk.capacity;
  --chunksOut_;
  spare_.push_back(std::move(chunk.bytes));
  if (workersWaiting_ > 0) workersWake_.notify_all();
}

DecodeResult DecodePipeline::Result(std::size_t job) {
  const std::lock_guard lock(mutex_);
  if (stopping_ && !slots_[job].done) return {DecodeStatus::Cancelled, "its decoding was stopped"};
  return slots_[job].result;
}

unsigned DecodeWorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }
