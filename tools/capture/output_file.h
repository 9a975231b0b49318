// One output file of capture, written under a temporary name in its own
// folder and renamed into place once complete, so that a failed or
// interrupted run leaves nothing half-written under the name asked for. A
// path that is there and is no regular file (a pipe, /dev/stdout,
// /dev/full) is written in place.
//
// Entry points:
//   output_begin(out, path)    pick and create the name to write; "" or why
//                              it can't be (errno's text: a missing or
//                              read-only folder, a directory in the way)
//   output_commit(out)         rename into place; "" or why not
//   output_discard(out)        remove the temporary file, if any
//   output_report(name, path, why)   "<name>: <path>: <why>" on stderr
#pragma once

#include <string>

struct OutputFile {
    std::string path;     // the name asked for
    std::string writing;  // the name being written: a temporary, or path itself
};

std::string output_begin(OutputFile& out, const std::string& path);
std::string output_commit(OutputFile& out);
void output_discard(OutputFile& out);
void output_report(const char* name, const std::string& path, const std::string& why);
