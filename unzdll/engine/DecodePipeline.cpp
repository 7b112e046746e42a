// The decoding workers and the hand-over of their chunks.
#include "unzdll/engine/DecodePipeline.h"

#include <algorithm>

namespace {

DecodeResult OutOfMemory() { return {DecodeStatus::Unreadable, "it could not be decoded (out of memory)"}; }

}  // namespace

// A worker's view of its job's output: fills one chunk at a time and hands
// each full chunk to the writer.
class DecodePipeline::WorkerSink : public DecodeSink {
 public:
  WorkerSink(DecodePipeline& pipeline, std::size_t job)
      : pipeline_(pipeline), job_(job), remaining_(std::uint64_t{pipeline.jobs_[job]->UnpackedSize} + 1) {}

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

// The calling thread's view of a job it decodes itself: one chunk, handed
// to take each time it is full and at the end, then filled again.
class DecodePipeline::CallerSink : public DecodeSink {
 public:
  CallerSink(Chunk& chunk, const std::function<void(const Chunk&)>& take) : chunk_(chunk), take_(take) {
    chunk_.size = 0;
  }

  std::span<std::uint8_t> Room() override {
    if (chunk_.size == chunk_.capacity) Flush();
    return {chunk_.bytes.get() + chunk_.size, chunk_.capacity - chunk_.size};
  }

  void Produced(std::size_t count) override { chunk_.size += count; }

  void Flush() {
    if (chunk_.size == 0) return;
    take_(chunk_);
    chunk_.size = 0;
  }

 private:
  Chunk& chunk_;
  const std::function<void(const Chunk&)>& take_;
};

DecodePipeline::DecodePipeline(const std::string& archivePath, std::vector<const ZipMember*> jobs,
                               std::string password, unsigned workers)
    : archivePath_(archivePath), jobs_(std::move(jobs)), password_(std::move(password)), slots_(jobs_.size()) {
  const unsigned count = std::clamp<unsigned>(workers, 1, static_cast<unsigned>(std::max<std::size_t>(jobs_.size(), 1)));
  try {
    workers_.reserve(count);
  } catch (const std::exception&) {
    return;  // no worker at all: the calling thread decodes every job
  }
  for (unsigned i = 0; i < count; ++i) {
    {
      const std::lock_guard lock(mutex_);
      ++workersLive_;
    }
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::exception&) {
      // The system gives no more threads (or no memory for one): the ones
      // running, or the calling thread, do the work.
      WorkerLeft();
      break;
    }
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
    if (archive.IsOpen()) {
      MemberDecoder decoder(archive);
      DecodeJobs(decoder);
    }
  } catch (const std::exception&) {
    // No memory for this worker's buffers: it takes no job, and the jobs go
    // to the other workers or to the calling thread.
  }
  WorkerLeft();
}

void DecodePipeline::WorkerLeft() {
  {
    const std::lock_guard lock(mutex_);
    if (--workersLive_ > 0) return;
  }
  // The writer may be waiting for a job that no worker will take now.
  writerWake_.notify_all();
}

void DecodePipeline::DecodeJobs(MemberDecoder& decoder) {
  for (;;) {
    std::size_t job;
    {
      const std::lock_guard lock(mutex_);
      if (stopping_ || nextJob_ == jobs_.size()) return;
      job = nextJob_++;
    }
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
    result = OutOfMemory();
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
  try {
    return {std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize), capacity, 0};
  } catch (const std::bad_alloc&) {
    // The share of the budget goes back, or the others would wait for it.
    lock.lock();
    bytesOut_ -= capacity;
    --chunksOut_;
    if (workersWaiting_ > 0) workersWake_.notify_all();
    throw;
  }
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

NextChunk DecodePipeline::Next(std::size_t job, Chunk& chunk) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[job];
  // A new head's worker may be waiting on the budget, which binds it no more.
  if (head_ != job) {
    head_ = job;
    if (workersWaiting_ > 0) workersWake_.notify_all();
  }
  // Jobs are handed out in order, so one not handed out yet while no worker
  // is left will never be.
  const auto orphaned = [&] { return workersLive_ == 0 && nextJob_ <= job; };
  writerWaiting_ = true;
  writerWake_.wait(lock, [&] { return stopping_ || !slot.ready.empty() || slot.done || orphaned(); });
  writerWaiting_ = false;
  if (stopping_) return NextChunk::JobDone;
  if (!slot.ready.empty()) {
    // The head's worker may be waiting for its queue to shrink.
    const bool wasFull = slot.ready.size() >= kHeadDepth;
    chunk = std::move(slot.ready.front());
    slot.ready.pop_front();
    if (wasFull && workersWaiting_ > 0) workersWake_.notify_all();
    return NextChunk::Taken;
  }
  if (slot.done) return NextChunk::JobDone;
  nextJob_ = job + 1;
  return NextChunk::DecodeHere;
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
  const Slot& slot = slots_[job];
  // A job counts only with every chunk taken: a stop can leave some behind.
  if (!slot.done || !slot.ready.empty()) return {DecodeStatus::Cancelled, "its decoding was stopped"};
  return slot.result;
}

DecodeResult DecodePipeline::DecodeHere(std::size_t job, const std::function<void(const Chunk&)>& take) {
  try {
    if (!callerDecoder_) {
      auto archive = std::make_unique<ArchiveFile>(archivePath_);
      if (!archive->IsOpen()) return {DecodeStatus::Unreadable, "the archive cannot be opened again for reading"};
      callerDecoder_ = std::make_unique<MemberDecoder>(*archive);
      callerArchive_ = std::move(archive);
    }
    if (!callerChunk_.bytes) callerChunk_ = {std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize), kChunkSize, 0};
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
  CallerSink sink(callerChunk_, take);
  DecodeResult result;
  try {
    result = callerDecoder_->Decode(*jobs_[job], password_, sink);
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
  sink.Flush();
  return result;
}

unsigned DecodeWorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }
