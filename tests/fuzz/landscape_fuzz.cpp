// The simulated library's landscape reader on any text, and the RFCSI values
// of every system it accepts.
#include <string>

#include "fuzz_input.h"
#include "landscape.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string_view text = input.Rest();
  const simrfc::LandscapeResult result = simrfc::ParseLandscape(text, "Landscape.ini");
  if (!result.Ok()) {
    Require(result.error.rfind("Landscape.ini:", 0) == 0, "an error names the file and line");
    return 0;
  }
  for (const simrfc::System& system : result.systems) {
    Require(system.sysnr >= 0 && system.sysnr <= 99, "a system number has two digits");
    for (const simrfc::RfcsiField& field : simrfc::kRfcsiFields) {
      const std::string value = simrfc::RfcsiValue(system, field.name);
      Require(simrfc::PadOrCut(value, field.length).size() == field.length,
              "a field value fits its field");
      const unsigned width = simrfc::RfcsiWidth(system, field);
      Require(width >= 1 && width <= simrfc::kMaxFieldWidth, "a field's width is one ABAP has");
    }
    Require(system.row_fields.size() == 2, "a row has two fields");
    for (const simrfc::StructureField& field : system.row_fields) {
      Require(field.width >= 1 && field.width <= simrfc::kMaxFieldWidth && !field.name.empty(),
              "a row's field has a name and a width ABAP has");
    }
    for (const simrfc::LogRow& row : system.statlog) {
      Require(simrfc::PadOrCut(row.label, simrfc::kLabelWidth).size() == simrfc::kLabelWidth,
              "a label fits its column");
    }
  }
  return 0;
}
