// The classic binding: the questions of rfc_session.h through librfc32.dll's
// functions (rfc_functions.h), with the library's own exactness: lines read
// one by one with the count read again, fields cut at a NUL, the error
// handler, and the note from the trace file.
#ifndef VENDRALITH_RFC_CLASSIC_SESSION_H
#define VENDRALITH_RFC_CLASSIC_SESSION_H

#include <memory>
#include <string>

#include "rfc/rfc_session.h"

namespace vendralith {

// The session over the functions that Rfc() gives; description names the
// library on the console.
std::unique_ptr<RfcSession> MakeClassicSession(std::string description);

}  // namespace vendralith

#endif
