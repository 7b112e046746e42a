// pmcs: packs a file into a PMCS10 container, restores one, or lists its blocks.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "filestore/CompressStream.h"
#include "filestore/LZRW1KH.h"

namespace {

constexpr char kUsage[] =
    "usage: pmcs pack IN OUT     write IN as one PMCS10 container\n"
    "       pmcs unpack IN OUT   restore the container IN\n"
    "       pmcs list IN         list the container's blocks\n";

// Writes OUT through a temporary name beside it, so that a failure leaves no
// partial OUT behind and an existing OUT untouched.
template <typename Produce>
void WriteReplacing(const std::string& out, Produce produce) {
  const std::string partial = out + ".partial";
  try {
    TFileStream stream(partial, FileMode::Create);
    produce(stream);
  } catch (...) {
    RemoveFileAt(partial);
    throw;
  }
  if (!RenameFileReplacing(partial, out)) {
    RemoveFileAt(partial);
    throw EStreamError(FormatText(kCannotCreateFile, out));
  }
}

void Pack(const std::string& in, const std::string& out) {
  TFileStream source(in, FileMode::OpenRead);
  const std::int64_t size = source.Size();
  if (size > INT32_MAX) throw Exception("pmcs: input too large for one container: " + in);
  WriteReplacing(out, [&](TStream& dest) { TCompressStream().CompressStream(source, dest, size); });
}

void Unpack(const std::string& in, const std::string& out) {
  TFileStream source(in, FileMode::OpenRead);
  WriteReplacing(out, [&](TStream& dest) { TCompressStream().ExpandStream(source, dest); });
}

void List(const std::string& in) {
  TFileStream source(in, FileMode::OpenRead);
  std::printf("%6s %8s %-6s %8s\n", "block", "stored", "form", "restored");
  long blocks = 0;
  long long stored = 0;
  long long restored = 0;
  TCompressStream().ReadBlocks(source, [&](const TCompressStream::BlockInfo& block) {
    ++blocks;
    stored += block.storedSize;
    restored += block.restoredSize;
    std::printf("%6ld %8d %-6s %8u\n", blocks, block.storedSize, block.flag == kLzrwFlagCopied ? "copied" : "coded",
                static_cast<unsigned>(block.restoredSize));
  });
  std::printf("%ld blocks, %lld bytes stored, %lld bytes restored, container %lld bytes\n", blocks, stored,
              restored, static_cast<long long>(source.Position()));
}

int Run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "pack" && argc == 4) {
    Pack(argv[2], argv[3]);
  } else if (command == "unpack" && argc == 4) {
    Unpack(argv[2], argv[3]);
  } else if (command == "list" && argc == 3) {
    List(argv[2]);
  } else {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    InitializeLzrw1KH();
    const int status = Run(argc, argv);
    FinalizeLzrw1KH();
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pmcs: %s\n", e.what());
    return 1;
  }
}
