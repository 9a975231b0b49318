// Running modrender as a process from a test, and reading what it printed.
//
// Entry points:
//   scratch_path(suffix)      a file name under the working directory, unique
//                             to the running test case
//   run_modrender(args)       runs the tool on these arguments; status,
//                             stdout and stderr
//   parse_summary(text)       the key=value fields of the summary line
//   parse_rows(text)          the `row` lines of a rows trace
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ToolRun {
    int status = -1;  // exit status; 128 + the signal if one ended it, -1 on a timeout
    std::string out;
    std::string err;
};

struct TraceRow {
    int64_t frame;
    int32_t order, pattern, row, speed, tempo;
    bool operator==(const TraceRow&) const = default;
};

std::string scratch_path(const std::string& suffix);
ToolRun run_modrender(std::vector<std::string> args);
std::map<std::string, std::string> parse_summary(const std::string& text);
std::vector<TraceRow> parse_rows(const std::string& text);
