#include "system/pe_image.h"

#include <cstdint>

namespace vendralith {

namespace {

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i > 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
  }
  return value;
}

constexpr std::size_t kSignatureOffsetField = 0x3C;
constexpr std::uint32_t kMachineI386 = 0x014C;
constexpr std::uint32_t kMachineAmd64 = 0x8664;

}  // namespace

PeMachine PeImageMachine(std::string_view first_bytes) {
  if (first_bytes.size() < kSignatureOffsetField + 4 || first_bytes.substr(0, 2) != "MZ") {
    return PeMachine::NotPeImage;
  }
  const std::uint32_t signature = LittleEndian(first_bytes, kSignatureOffsetField, 4);
  // The signature, then the machine field: 6 bytes that must lie in the bytes given.
  if (signature > first_bytes.size() || first_bytes.size() - signature < 6 ||
      first_bytes.substr(signature, 4) != std::string_view("PE\0\0", 4)) {
    return PeMachine::NotPeImage;
  }
  switch (LittleEndian(first_bytes, signature + 4, 2)) {
    case kMachineI386:
      return PeMachine::X86;
    case kMachineAmd64:
      return PeMachine::X64;
    default:
      return PeMachine::Other;
  }
}

unsigned PeMachineBits(PeMachine machine) {
  switch (machine) {
    case PeMachine::X86:
      return 32;
    case PeMachine::X64:
      return 64;
    default:
      return 0;
  }
}

}  // namespace vendralith
