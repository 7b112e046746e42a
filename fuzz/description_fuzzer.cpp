// Fuzz target: arbitrary bytes as a binary description (decoded, printed and
// compiled back, applied to test components, written and read again) and as
// the text form.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "component/Description.h"
#include "component/DescriptionText.h"
#include "component/DescriptionTree.h"
#include "component/tests/TestComponents.h"
#include "fuzz/FuzzTarget.h"

namespace {

std::vector<std::uint8_t> SmallFile(const std::string& path) {
  if (path == "missing") throw Exception("Cannot open file missing");
  return {'a', '\r', '\n', 'b'};
}

// Steps that must not fail once the input was accepted.
template <typename Step>
auto MustSucceed(Step step) {
  try {
    return step();
  } catch (const Exception&) {
    std::abort();
  }
}

void AddHandlers(TTestForm& form) {
  form.AddHandler("FormShow", TNotifyEvent([](TComponent*) {}));
  form.AddHandler("b_OkClick", TNotifyEvent([](TComponent*) {}));
}

// A description the components took must survive writing and reading again.
void CheckComponentRoundTrip(std::span<const std::uint8_t> bytes) {
  TTestForm form;
  AddHandlers(form);
  try {
    ReadComponentDescription(bytes, form);
  } catch (const Exception&) {
    return;  // unknown class, property, handler, wrong kind: refused
  }
  const std::vector<std::uint8_t> written = MustSucceed([&] { return WriteComponentDescription(form); });
  TTestForm copy;
  AddHandlers(copy);
  MustSucceed([&] { ReadComponentDescription(written, copy); });
  if (MustSucceed([&] { return WriteComponentDescription(copy); }) != written) std::abort();
}

// Whatever the text form can print must compile back to the same bytes.
void CheckTextRoundTrip(const DescriptionObject& tree) {
  const std::vector<std::uint8_t> canonical = EncodeDescription(tree);
  std::string text;
  try {
    text = DescriptionToText(canonical);
  } catch (const Exception&) {
    return;  // a name or identifier the text form cannot say
  }
  if (MustSucceed([&] { return DescriptionFromText(text, SmallFile); }) != canonical) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = (RegisterTestComponents(), true);
  (void)registered;
  LoadedLog().clear();
  const std::span<const std::uint8_t> bytes(data, size);

  try {
    const DescriptionObject tree = DecodeDescription(bytes);
    CheckTextRoundTrip(tree);
    CheckComponentRoundTrip(bytes);
  } catch (const Exception&) {
    // Damaged: refused with a message.
  }

  try {
    const std::vector<std::uint8_t> compiled =
        DescriptionFromText(std::string_view(reinterpret_cast<const char*>(data), size), SmallFile);
    CheckTextRoundTrip(DecodeDescription(compiled));
  } catch (const Exception&) {
    // Not valid text: refused with a message.
  }
  return 0;
}
