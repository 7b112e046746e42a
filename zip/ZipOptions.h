// The zip component's enumerations and option sets. A set holds member n as
// bit n, in a storage as wide as the stored description keeps it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

enum AddOptsEnum : std::uint8_t {
  AddDirNames, AddRecurseDirs, AddMove, AddFreshen, AddUpdate,
  AddZipTime, AddForceDOS, AddHiddenFiles, AddEncrypt,
};
enum ExtrOptsEnum : std::uint8_t { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
enum SFXOptsEnum : std::uint8_t { SFXAskCmdLine, SFXAskFiles, SFXHideOverWriteBox };
enum OvrOpts : std::uint8_t { OvrConfirm, OvrAlways, OvrNever };
enum ProgressType : std::uint8_t { PrgFileStart, PrgStep, PrgBatchEnd };

// A set of the members of Enum, which has MemberCount members.
template <class Enum, class Bits, int MemberCount>
class OptionSet {
 public:
  static constexpr Bits kAllBits = static_cast<Bits>((1u << MemberCount) - 1);

  constexpr OptionSet() = default;
  constexpr OptionSet(std::initializer_list<Enum> members) {
    for (Enum member : members) Include(member);
  }
  // Bits beyond the last member are dropped.
  static constexpr OptionSet FromBits(std::uint32_t bits) {
    OptionSet set;
    set.bits_ = static_cast<Bits>(bits & kAllBits);
    return set;
  }

  constexpr bool Contains(Enum member) const { return (bits_ >> member & 1u) != 0; }
  constexpr void Include(Enum member) { bits_ = static_cast<Bits>(bits_ | 1u << member); }
  constexpr void Exclude(Enum member) { bits_ = static_cast<Bits>(bits_ & ~(1u << member)); }
  constexpr Bits ToBits() const { return bits_; }
  constexpr bool operator==(const OptionSet&) const = default;

 private:
  Bits bits_ = 0;
};

using AddOpts = OptionSet<AddOptsEnum, std::uint16_t, 9>;
using ExtrOpts = OptionSet<ExtrOptsEnum, std::uint8_t, 5>;
using SFXOpts = OptionSet<SFXOptsEnum, std::uint8_t, 3>;

static_assert(sizeof(AddOpts) == 2 && sizeof(ExtrOpts) == 1 && sizeof(SFXOpts) == 1);
static_assert(sizeof(OvrOpts) == 1 && sizeof(ProgressType) == 1);

// The members' names, in ordinal order, as a stored description spells them.
std::span<const char* const> AddOptsSymbols();
std::span<const char* const> ExtrOptsSymbols();
std::span<const char* const> SFXOptsSymbols();
std::span<const char* const> OvrOptsSymbols();
