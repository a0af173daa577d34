// The Windows program: librfc32.dll is loaded on the first RFC operation, so
// a run that ends before one never needs it.
#include "rfc/rfc_functions.h"
#include "rfc/rfc_library_loader.h"

namespace vendralith {

const std::string& BindRfcLibrary() {
  static const std::string error = [] {
    RfcLibraryBinding binding = LoadRfcLibrary(kRfcLibraryName);
    if (binding.error.empty()) UseRfcFunctions(binding.functions);
    return binding.error;
  }();
  return error;
}

}  // namespace vendralith
