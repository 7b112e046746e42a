// tavzip: makes a zip archive from files, or adds to one, with the engine of
// "zipdll.dll"; the build uses it to make the application's archive.
#include <cstdio>
#include <cstring>
#include <string>

#include "zip/ZIPDLL.h"
#include "zipdll/engine/ZipEngine.h"

namespace {

constexpr char kUsage[] =
    "usage: tavzip [-0..-9] [-j] [-r] [-f|-u] [-v] ARCHIVE SPEC...\n"
    "  -0 .. -9  store (0) or deflate at that level (default 6)\n"
    "  -j        store names without their folders\n"
    "  -r        match SPEC's last element in every sub-folder too\n"
    "  -f        freshen: only replace members whose file is newer\n"
    "  -u        update: replace members whose file is newer, add new files\n"
    "  -v        name each member written\n"
    "SPEC is a path whose last element may hold * and ?. The exit status is 0\n"
    "when nothing failed, 1 when any file or the whole run failed.\n";

class ConsoleReport : public ZipReport {
 public:
  bool MemberStart(const std::string&, std::uint64_t) override { return true; }
  bool Step() override { return true; }
  void BatchEnd() override {}
  bool Message(std::int32_t code, const std::string& text) override {
    std::fprintf(code == kZipMessageInfo ? stdout : stderr, "tavzip: %s\n", text.c_str());
    return true;
  }
};

// Reads the options into request; false for anything it does not know.
bool ParseOptions(int argc, char** argv, int& next, ZipRequest& request) {
  for (; next < argc && argv[next][0] == '-' && argv[next][1] != '\0'; ++next) {
    const char* option = argv[next];
    if (std::strlen(option) != 2) return false;
    const char letter = option[1];
    if (letter >= '0' && letter <= '9') {
      request.level = letter - '0';
    } else if (letter == 'j') {
      request.folderNames = false;
    } else if (letter == 'r') {
      request.recurse = true;
    } else if (letter == 'f') {
      request.mode = AddMode::Freshen;
    } else if (letter == 'u') {
      request.mode = AddMode::Update;
    } else if (letter == 'v') {
      request.verbose = true;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ZipRequest request;
  int next = 1;
  if (!ParseOptions(argc, argv, next, request) || argc - next < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  request.archive = argv[next++];
  for (; next < argc; ++next) request.specs.emplace_back(argv[next]);
  ConsoleReport report;
  const ZipOutcome outcome = RunZip(request, report);
  return outcome.failures == 0 ? 0 : 1;
}
