// Forgetting a password: its bytes overwritten where the text kept them, in
// a way the compiler may not leave out, before the text is emptied. A
// cleared text no longer shows the password in a memory dump of the process.
#ifndef VENDRALITH_SYSTEM_SECRET_TEXT_H
#define VENDRALITH_SYSTEM_SECRET_TEXT_H

#include <cstddef>
#include <string>

namespace vendralith {

// Overwrites every byte the text holds, up to its capacity, and empties it.
void ClearSecret(std::string& text);
void ClearSecret(std::u16string& text);
// The same for bytes of a buffer of the caller's.
void ClearSecret(char* bytes, std::size_t size);

}  // namespace vendralith

#endif
