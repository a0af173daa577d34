#include "system/secret_text.h"

#include <cstddef>

namespace vendralith {

namespace {

// Through a volatile pointer: stores to memory about to be freed are
// otherwise dead to the optimiser.
template <typename Text>
void Overwrite(Text& text) {
  // The whole buffer: a text that was longer before may have left its tail there.
  text.resize(text.capacity());
  volatile typename Text::value_type* unit = text.data();
  for (std::size_t i = 0; i < text.size(); ++i) unit[i] = 0;
  text.clear();
}

}  // namespace

void ClearSecret(std::string& text) { Overwrite(text); }

void ClearSecret(std::u16string& text) { Overwrite(text); }

void ClearSecret(char* bytes, std::size_t size) {
  volatile char* unit = bytes;
  for (std::size_t i = 0; i < size; ++i) unit[i] = 0;
}

}  // namespace vendralith
