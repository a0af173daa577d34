#include "system/pe_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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

// A library with one section that holds its import table: first the DLL
// names, then one descriptor for each and the empty one that ends the table.
// PE32+ (x64) by default, PE32 (x86) with magic 0x10B.
struct ImportingImage {
  static constexpr std::uint32_t kSectionAddress = 0x3000;
  static constexpr std::uint32_t kSectionOffset = 0x400;

  explicit ImportingImage(const std::vector<std::string>& dlls, std::uint16_t magic = 0x20B)
      : bytes(kSectionOffset, '\0') {
    const bool plus = magic == 0x20B;
    optional_size = plus ? 240 : 224;
    directories = optional_at + (plus ? 112 : 96);
    Put(0, 2, 0x5A4D);  // "MZ"
    Put(0x3C, 4, kSignatureAt);
    bytes.replace(kSignatureAt, 4, std::string("PE\0\0", 4));
    Put(kSignatureAt + 4, 2, plus ? 0x8664 : 0x014C);
    Put(kSignatureAt + 6, 2, 1);  // one section
    Put(kSignatureAt + 20, 2, optional_size);
    Put(optional_at, 2, magic);
    Put(optional_at + 60, 4, kSectionOffset);  // the size of the headers
    Put(optional_at + (plus ? 108 : 92), 4, 16);
    std::string section;
    std::vector<std::uint32_t> nameAddresses;
    for (const std::string& dll : dlls) {
      nameAddresses.push_back(kSectionAddress + static_cast<std::uint32_t>(section.size()));
      section += dll + '\0';
    }
    while (section.size() % 4 != 0) section += '\0';
    descriptors_at = kSectionOffset + section.size();
    for (const std::uint32_t name : nameAddresses) {
      std::string descriptor(20, '\0');
      for (std::size_t i = 0; i < 4; ++i) descriptor[12 + i] = static_cast<char>(name >> (8 * i));
      descriptor[16] = 0x10;  // the thunks: any address that is not 0
      section += descriptor;
    }
    section += std::string(20, '\0');
    bytes += section;
    Put(directories + 8, 4,
        kSectionAddress + static_cast<std::uint32_t>(descriptors_at - kSectionOffset));
    Put(directories + 12, 4, static_cast<std::uint32_t>(20 * (dlls.size() + 1)));
    const std::size_t header = optional_at + optional_size;
    Put(header + 8, 4, static_cast<std::uint32_t>(section.size()));  // virtual size
    Put(header + 12, 4, kSectionAddress);
    Put(header + 16, 4, static_cast<std::uint32_t>(section.size()));  // size in the file
    Put(header + 20, 4, kSectionOffset);
  }

  void Put(std::size_t at, std::size_t width, std::size_t value) {
    for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  }

  // The field of the n-th import descriptor at that offset.
  void PutDescriptor(std::size_t n, std::size_t field, std::size_t value) {
    Put(descriptors_at + 20 * n + field, 4, value);
  }

  static constexpr std::size_t kSignatureAt = 0x80;
  static constexpr std::size_t optional_at = kSignatureAt + 24;
  std::string bytes;
  std::size_t optional_size = 0;
  std::size_t directories = 0;
  std::size_t descriptors_at = 0;
};

TEST(PeImageImports, ReadsTheImportTableOrWhatIsSoundOfIt) {
  using Names = std::vector<std::string>;
  const Names sdk = {"libsapucum.dll", "icuuc50.dll", "MSVCR120.dll", "KERNEL32.dll"};
  const auto image = [&sdk](auto change, std::uint16_t magic = 0x20B) {
    ImportingImage built(sdk, magic);
    change(built);
    return built.bytes;
  };
  const auto same = [](ImportingImage&) {};
  const std::string longest(kPeMaximumImportName, 'a');
  struct Case {
    const char* what;
    std::string bytes;
    Names names;
  } cases[] = {
      {"a 64-bit library", image(same), sdk},
      {"a 32-bit library", image(same, 0x10B), sdk},
      {"no imports", ImportingImage({}).bytes, {}},
      {"the longest name there may be",
       ImportingImage({longest, "b.dll"}).bytes,
       {longest, "b.dll"}},
      {"a name one byte longer ends the list",
       ImportingImage({"a.dll", longest + "a", "b.dll"}).bytes,
       {"a.dll"}},
      {"an empty name ends the list", ImportingImage({"a.dll", "", "b.dll"}).bytes, {"a.dll"}},
      {"a descriptor without thunks ends the table, as for the loader",
       image([](ImportingImage& i) { i.PutDescriptor(2, 16, 0); }),
       {"libsapucum.dll", "icuuc50.dll"}},
      {"a name outside every section ends the list",
       image([](ImportingImage& i) { i.PutDescriptor(1, 12, 0x7FFF0000); }),
       {"libsapucum.dll"}},
      {"the file cut inside the third descriptor",
       image([](ImportingImage& i) { i.bytes.resize(i.descriptors_at + 2 * 20 + 7); }),
       {"libsapucum.dll", "icuuc50.dll"}},
      {"the file cut inside the first name",
       image([](ImportingImage& i) { i.bytes.resize(ImportingImage::kSectionOffset + 5); }),
       {}},
      {"no import directory", image([](ImportingImage& i) { i.Put(i.directories + 8, 4, 0); }), {}},
      {"fewer directories than the import directory needs",
       image([](ImportingImage& i) { i.Put(ImportingImage::optional_at + 108, 4, 1); }),
       {}},
      {"an optional header too short to hold the import directory",
       image([](ImportingImage& i) { i.Put(ImportingImage::kSignatureAt + 20, 2, 112 + 12); }),
       {}},
      {"an optional header of another kind",
       image([](ImportingImage& i) { i.Put(ImportingImage::optional_at, 2, 0x107); }),
       {}},
      {"a section whose bytes lie beyond the file",
       image([](ImportingImage& i) { i.Put(i.optional_at + i.optional_size + 20, 4, 0x7FFFFFF0); }),
       {}},
      {"a section count far beyond the section headers there are",
       image([](ImportingImage& i) { i.Put(ImportingImage::kSignatureAt + 6, 2, 0xFFFF); }), sdk},
      {"the signature's offset near 4 GiB",
       image([](ImportingImage& i) { i.Put(0x3C, 4, 0xFFFFFFF0); }),
       {}},
      {"a text file", "This is not a library.\r\n", {}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(PeImageImports(c.bytes), c.names) << c.what;
}

// However many descriptors a file holds, a bounded number of names is read.
TEST(PeImageImports, ReadsAtMostTheLargestNumberOfImports) {
  const std::vector<std::string> many(kPeMaximumImports + 10, "x.dll");
  EXPECT_EQ(PeImageImports(ImportingImage(many).bytes).size(), kPeMaximumImports);
}

}  // namespace
}  // namespace vendralith
