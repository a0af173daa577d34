#include "system/pe_image.h"

#include <cstdint>
#include <optional>

namespace vendralith {

namespace {

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i > 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
  }
  return value;
}

// The field of that width at that offset, or nothing when it does not lie
// wholly within the bytes.
std::optional<std::uint32_t> Field(std::string_view bytes, std::uint64_t at, std::size_t width) {
  if (at > bytes.size() || bytes.size() - at < width) return std::nullopt;
  return LittleEndian(bytes, static_cast<std::size_t>(at), width);
}

constexpr std::size_t kSignatureOffsetField = 0x3C;
constexpr std::uint32_t kMachineI386 = 0x014C;
constexpr std::uint32_t kMachineAmd64 = 0x8664;

// The offsets within the headers that the import table is found by.
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionCountField = 2;         // in the file header
constexpr std::size_t kOptionalHeaderSizeField = 16;  // in the file header
constexpr std::uint32_t kMagicPe32 = 0x10B;
constexpr std::uint32_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kHeadersSizeField = 60;         // in the optional header
constexpr std::size_t kDirectoryCountFieldPe32 = 92;  // then the directories
constexpr std::size_t kDirectoryCountFieldPe32Plus = 108;
constexpr std::size_t kImportDirectory = 1;
constexpr std::size_t kDirectorySize = 8;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kDescriptorNameField = 12;
constexpr std::size_t kDescriptorThunksField = 16;

// Where the bytes of an image's virtual addresses lie in its file.
class AddressMap {
 public:
  // The section headers start at that offset; those beyond the bytes, and
  // those past the first kMaximumSections (a library has about a dozen), are
  // not looked at.
  AddressMap(std::string_view image, std::uint64_t headers, std::uint32_t count,
             std::uint32_t headersSize)
      : image_(image), headersSize_(headersSize) {
    for (std::uint32_t i = 0; i < count && i < kMaximumSections; ++i) {
      const std::uint64_t header = headers + std::uint64_t{i} * kSectionHeaderSize;
      const auto start = Field(image, header + 12, 4);
      const auto size = Field(image, header + 16, 4);
      const auto offset = Field(image, header + 20, 4);
      if (!start || !size || !offset) break;
      sections_.push_back({*start, *size, *offset});
    }
  }

  // The file's bytes from that address to the end of the section holding it
  // (what the loader maps of the file there), or nothing when no section or
  // the headers hold it within the file.
  std::optional<std::string_view> From(std::uint64_t address) const {
    for (const Section& section : sections_) {
      if (address >= section.start && address - section.start < section.size) {
        return Bytes(section.offset + (address - section.start),
                     std::uint64_t{section.offset} + section.size);
      }
    }
    if (address < headersSize_) return Bytes(address, headersSize_);
    return std::nullopt;
  }

 private:
  static constexpr std::uint32_t kMaximumSections = 96;

  struct Section {
    std::uint32_t start;   // its virtual address
    std::uint32_t size;    // of its bytes in the file
    std::uint32_t offset;  // of its bytes in the file
  };

  std::optional<std::string_view> Bytes(std::uint64_t from, std::uint64_t to) const {
    if (to > image_.size()) to = image_.size();
    if (from >= to) return std::nullopt;
    return image_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
  }

  std::string_view image_;
  std::uint32_t headersSize_;
  std::vector<Section> sections_;
};

// The offset of the "PE\0\0" signature, or nothing for no PE image.
std::optional<std::size_t> SignatureOffset(std::string_view bytes) {
  if (bytes.size() < kSignatureOffsetField + 4 || bytes.substr(0, 2) != "MZ") return std::nullopt;
  const std::uint32_t signature = LittleEndian(bytes, kSignatureOffsetField, 4);
  // The signature, then the machine field: 6 bytes that must lie in the bytes given.
  if (signature > bytes.size() || bytes.size() - signature < 6 ||
      bytes.substr(signature, 4) != std::string_view("PE\0\0", 4)) {
    return std::nullopt;
  }
  return signature;
}

}  // namespace

PeMachine PeImageMachine(std::string_view first_bytes) {
  const std::optional<std::size_t> signature = SignatureOffset(first_bytes);
  if (!signature) return PeMachine::NotPeImage;
  switch (LittleEndian(first_bytes, *signature + 4, 2)) {
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

std::vector<std::string> PeImageImports(std::string_view image) {
  std::vector<std::string> names;
  const std::optional<std::size_t> signature = SignatureOffset(image);
  if (!signature) return names;
  const std::uint64_t fileHeader = *signature + std::uint64_t{4};
  const std::uint64_t optionalHeader = fileHeader + kFileHeaderSize;
  const auto sectionCount = Field(image, fileHeader + kSectionCountField, 2);
  const auto optionalSize = Field(image, fileHeader + kOptionalHeaderSizeField, 2);
  const auto magic = Field(image, optionalHeader, 2);
  if (!sectionCount || !optionalSize || !magic) return names;
  std::size_t countField = 0;
  if (*magic == kMagicPe32) {
    countField = kDirectoryCountFieldPe32;
  } else if (*magic == kMagicPe32Plus) {
    countField = kDirectoryCountFieldPe32Plus;
  } else {
    return names;
  }
  const std::size_t importEntry = countField + 4 + kImportDirectory * kDirectorySize;
  // The directory must be among those the header says it has, within its size.
  const auto directoryCount = Field(image, optionalHeader + countField, 4);
  const auto headersSize = Field(image, optionalHeader + kHeadersSizeField, 4);
  const auto importTable = Field(image, optionalHeader + importEntry, 4);
  if (!directoryCount || *directoryCount <= kImportDirectory || !headersSize || !importTable ||
      *optionalSize < importEntry + kDirectorySize || *importTable == 0) {
    return names;
  }
  const AddressMap map(image, optionalHeader + *optionalSize, *sectionCount, *headersSize);
  for (std::size_t i = 0; i < kPeMaximumImports; ++i) {
    const std::optional<std::string_view> descriptor =
        map.From(*importTable + std::uint64_t{i} * kImportDescriptorSize);
    if (!descriptor || descriptor->size() < kImportDescriptorSize) break;
    const std::uint32_t name = LittleEndian(*descriptor, kDescriptorNameField, 4);
    // The loader's own end of the table: a descriptor without a name or thunks.
    if (name == 0 || LittleEndian(*descriptor, kDescriptorThunksField, 4) == 0) break;
    const std::optional<std::string_view> text = map.From(name);
    if (!text) break;
    const std::size_t end = text->substr(0, kPeMaximumImportName + 1).find('\0');
    if (end == 0 || end == std::string_view::npos) break;
    names.emplace_back(text->substr(0, end));
  }
  return names;
}

}  // namespace vendralith
