#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

namespace foundation {

// Diagnostics that are not errors: single lines that every module writes
// through diagnostic(). They go to standard output unless the program sends
// them elsewhere, once, with setDiagnosticSink (a tool whose standard output
// other programs read sends them to standard error).

// Receives one diagnostic line, without its newline.
using DiagnosticSink = std::function<void(std::string_view line)>;

// Hands `line` to the current sink. Safe from any thread: the sink is called
// for one line at a time, so lines never interleave.
void diagnostic(std::string_view line);

// Makes `sink` receive every later line and returns the sink it replaces (an
// empty one for the default); an empty `sink` restores the default, standard
// output. Once it returns, no line reaches the sink it replaced. A sink must
// not write diagnostics itself.
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

// A sink that writes each line and a newline to `stream` in one write,
// flushed at once.
DiagnosticSink diagnosticStream(std::FILE* stream);

// A sink that passes each line on to `sink` (standard output when empty)
// unless it is the line passed on just before it: a program whose windows
// read one stored value in many places, or that draws one picture again and
// again, says what is wrong with it once until something else is said.
DiagnosticSink withoutRepeats(DiagnosticSink sink);

} // namespace foundation
