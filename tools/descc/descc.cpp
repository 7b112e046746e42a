// descc: compiles a window description's text form into the binary form that
// is linked into the program, and prints a binary description as text.
#include <cstdio>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/PathText.h"
#include "component/DescriptionText.h"
#include "component/DescriptionTree.h"
#include "filestore/LZRW1KH.h"
#include "filestore/PackedBytes.h"
#include "tools/descc/CarriedFiles.h"

namespace {

constexpr char kUsage[] =
    "usage: descc compile IN.txt OUT.bin [--depfile OUT.d] [--files DIR]\n"
    "                    [--carried LIST] [--pack]\n"
    "                        compile the text form; files it names are read\n"
    "                        relative to IN.txt's folder, the files of its file\n"
    "                        sources (FileName) relative to DIR (default: the\n"
    "                        same folder) and stored; the depfile lists them all;\n"
    "                        LIST gets a line per file source: its name, the\n"
    "                        size of the FileData value stored, its file;\n"
    "                        --pack packs its pictures, and the whole result\n"
    "                        when it carries no files, as PMCS10 containers\n"
    "       descc print IN.bin    print a binary description, packed or not, as text\n";

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream stream(path, FileMode::OpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

// Writes OUT through a temporary name beside it, so that a failure leaves no
// partial OUT behind and an existing OUT untouched.
void WriteReplacing(const std::string& out, const void* data, std::size_t size) {
  const std::string partial = out + ".partial";
  try {
    TFileStream stream(partial, FileMode::Create);
    if (size > 0) stream.WriteBuffer(data, size);
  } catch (...) {
    RemoveFileAt(partial);
    throw;
  }
  if (!RenameFileReplacing(partial, out)) {
    RemoveFileAt(partial);
    throw EStreamError(FormatText(kCannotCreateFile, out));
  }
}

// A path as a Makefile rule writes it: spaces, '#' and '$' escaped.
std::string DepfilePath(const std::string& path) {
  std::string escaped;
  for (char c : path) {
    if (c == ' ' || c == '#') escaped += '\\';
    if (c == '$') escaped += '$';
    escaped += c;
  }
  return escaped;
}

// Packs every binary value but the file sources' (which the file sources
// pack themselves, or keep plain to be read where they lie) when packing
// makes it smaller: the pictures. The window layer restores them.
void PackValues(DescriptionObject& object) {
  for (DescriptionProperty& property : object.Properties) {
    if (property.Value.Kind != DescriptionValueKind::Binary || property.Name == "FileData") continue;
    std::vector<std::uint8_t> packed = Pack(property.Value.Binary());
    if (packed.size() < property.Value.Binary().size()) {
      property.Value.Bytes = std::move(packed);
      property.Value.View = {};
    }
  }
  for (DescriptionObject& child : object.Children) PackValues(child);
}

struct CompileRequest {
  std::string in;
  std::string out;
  std::string depfile;       // empty: none
  std::string carriedFiles;  // the folder of the file sources' files; empty: IN's
  std::string report;        // where to list the files stored; empty: nowhere
  bool pack = false;
};

void Compile(const CompileRequest& request) {
  const std::string& in = request.in;
  const std::string& out = request.out;
  const std::string& depfile = request.depfile;
  const std::vector<std::uint8_t> text = ReadWholeFile(in);
  std::vector<std::string> referenced;
  const std::string folder = FolderOf(in);
  DescriptionObject root = DecodeDescription(DescriptionFromText(
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), [&](const std::string& path) {
        const std::string resolved = !path.empty() && path[0] == '/' ? path : folder + path;
        referenced.push_back(resolved);
        return ReadWholeFile(resolved);
      }));
  std::string report;
  StoreCarriedFiles(root, request.carriedFiles.empty() ? folder : request.carriedFiles,
                    [&](const CarriedFile& file) {
                      if (!file.path.empty()) referenced.push_back(file.path);
                      report.append(file.component).append(" ");
                      report.append(std::to_string(file.valueSize)).append(" ");
                      report.append(file.path).append("\n");
                    });
  // A description that carries files is read where it lies; one that does
  // not is packed whole.
  if (request.pack) PackValues(root);
  std::vector<std::uint8_t> binary = EncodeDescription(root);
  const bool carriesFiles = !report.empty();
  if (request.pack && !carriesFiles) binary = Pack(binary);
  WriteReplacing(out, binary.data(), binary.size());
  if (!request.report.empty()) WriteReplacing(request.report, report.data(), report.size());
  if (depfile.empty()) return;
  std::string rule = DepfilePath(out) + ":";
  rule += " " + DepfilePath(in);
  for (const std::string& path : referenced) rule += " \\\n  " + DepfilePath(path);
  rule += "\n";
  WriteReplacing(depfile, rule.data(), rule.size());
}

void Print(const std::string& in) {
  std::vector<std::uint8_t> binary = ReadWholeFile(in);
  if (IsPacked(binary)) binary = Unpack(binary);
  const std::string text = DescriptionToText(binary);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// Reads compile's options after IN and OUT; false for anything else.
bool ParseCompile(int argc, char** argv, CompileRequest& request) {
  if (argc < 4) return false;
  request.in = argv[2];
  request.out = argv[3];
  for (int i = 4; i < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--pack") {
      request.pack = true;
      --i;
      continue;
    }
    if (i + 1 >= argc) return false;
    if (option == "--depfile") {
      request.depfile = argv[i + 1];
    } else if (option == "--files") {
      request.carriedFiles = argv[i + 1];
    } else if (option == "--carried") {
      request.report = argv[i + 1];
    } else {
      return false;
    }
  }
  return true;
}

int Run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  CompileRequest request;
  if (command == "compile" && ParseCompile(argc, argv, request)) {
    Compile(request);
  } else if (command == "print" && argc == 3) {
    Print(argv[2]);
  } else {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    InitializeLzrw1KH();  // file sources compress with the codec's table
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "descc: %s\n", e.what());
    return 1;
  }
}
