// What a tool calls itself: the name it was run as (kirmavo-capture once
// installed, capture in the build), and the release it belongs to.
//
// Entry points:
//   tool_name(argv0, fallback)   the last path component of argv0; fallback
//                                when argv0 is missing or empty
//   tool_print_version(name)     "<name> (Kirmavo) <version>" on stdout
#pragma once

const char* tool_name(const char* argv0, const char* fallback);
void tool_print_version(const char* name);
