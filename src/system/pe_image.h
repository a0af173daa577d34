// What a Windows program or library file is built for, read from its headers
// without loading it.
#ifndef VENDRALITH_SYSTEM_PE_IMAGE_H
#define VENDRALITH_SYSTEM_PE_IMAGE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vendralith {

enum class PeMachine {
  NotPeImage,  // no PE image, or its headers lie beyond the bytes given
  X86,         // 32-bit x86 (i386)
  X64,         // 64-bit x86-64 (AMD64)
  Other        // a PE image for another processor
};

// How many of a file's first bytes PeImageMachine needs at most: the PE
// header of every linker's output starts well within them.
inline constexpr std::size_t kPeHeaderBytes = 4096;

// The machine of the PE image whose first bytes these are: the DOS header's
// "MZ" and its offset of the "PE\0\0" signature, then the machine field of
// the file header that follows.
PeMachine PeImageMachine(std::string_view first_bytes);

// The bitness of a machine, 32 or 64; 0 for none or another processor.
unsigned PeMachineBits(PeMachine machine);

// The names of the DLLs that the PE image (the whole file) imports, in the
// order of its import table, as written there ("KERNEL32.dll"): what the
// loader must find before the image can run. Delay-loaded DLLs are not
// among them. The bytes come from any file, so every offset and size is
// checked against them: a truncated or damaged image gives the names read
// up to the damage, a file that is no PE image none. At most
// kPeMaximumImports names, each at most kPeMaximumImportName bytes (a longer
// or unterminated name ends the list).
std::vector<std::string> PeImageImports(std::string_view image);

inline constexpr std::size_t kPeMaximumImports = 1024;
inline constexpr std::size_t kPeMaximumImportName = 256;

}  // namespace vendralith

#endif
