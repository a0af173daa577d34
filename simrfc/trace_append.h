// Appending a block to the trace file in one step. Scans started at once from
// one folder append to the same trace; a block written in pieces, or by
// seeking to the end and then writing (as the C runtime's append mode does
// on Windows), could interleave with another process's block or overwrite
// it. One write to a file opened for appending only cannot.
#ifndef SIMRFC_TRACE_APPEND_H
#define SIMRFC_TRACE_APPEND_H

#include <string_view>

namespace simrfc {

// Best effort: a trace that cannot be written must not change the call.
void AppendAtOnce(const char* path, std::string_view block);

}  // namespace simrfc

#endif
