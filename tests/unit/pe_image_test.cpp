#include "system/pe_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vendralith {
namespace {

// The first bytes of a PE image: the DOS header's "MZ", the signature's
// offset at 0x3C, "PE\0\0" there and then the machine field.
std::string Image(std::uint16_t machine, std::uint32_t signature_at = 0x80,
                  std::size_t size = 0x200) {
  std::string bytes(size, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(signature_at >> (8 * i));
  if (std::size_t{signature_at} + 6 <= size) {
    bytes.replace(signature_at, 4, std::string("PE\0\0", 4));
    bytes[signature_at + 4] = static_cast<char>(machine & 0xFF);
    bytes[signature_at + 5] = static_cast<char>(machine >> 8);
  }
  return bytes;
}

TEST(PeImageMachine, ReadsTheMachineFieldOrSaysItIsNone) {
  std::string no_signature = Image(0x8664);
  no_signature[0x80] = 'X';
  std::string no_mz = Image(0x014C);
  no_mz[0] = 'Z';
  struct Case {
    const char* what;
    std::string bytes;
    PeMachine machine;
  } cases[] = {
      {"a 32-bit x86 library", Image(0x014C), PeMachine::X86},
      {"a 64-bit x64 library", Image(0x8664), PeMachine::X64},
      {"an ARM64 library", Image(0xAA64), PeMachine::Other},
      {"a signature far into the file", Image(0x8664, 0xF00, 0x1000), PeMachine::X64},
      {"machine field just within the bytes", Image(0x014C, 0x1FA), PeMachine::X86},
      {"machine field cut off", Image(0x014C, 0x1FB), PeMachine::NotPeImage},
      {"signature offset beyond the bytes", Image(0x8664, 0x10000), PeMachine::NotPeImage},
      {"signature offset near 4 GiB", Image(0x8664, 0xFFFFFFFE), PeMachine::NotPeImage},
      {"no PE signature", no_signature, PeMachine::NotPeImage},
      {"no MZ", no_mz, PeMachine::NotPeImage},
      {"a text file", "This is not a library.\r\n", PeMachine::NotPeImage},
      {"MZ and nothing more", "MZ", PeMachine::NotPeImage},
      {"empty", "", PeMachine::NotPeImage},
  };
  for (const Case& c : cases) EXPECT_EQ(PeImageMachine(c.bytes), c.machine) << c.what;
}

TEST(PeMachineBits, IsTheBitnessOfX86AndX64Only) {
  EXPECT_EQ(PeMachineBits(PeMachine::X86), 32u);
  EXPECT_EQ(PeMachineBits(PeMachine::X64), 64u);
  EXPECT_EQ(PeMachineBits(PeMachine::Other), 0u);
  EXPECT_EQ(PeMachineBits(PeMachine::NotPeImage), 0u);
}

}  // namespace
}  // namespace vendralith
