// The command line: the only thing the demo takes from outside.
//
// Entry points:
//   app_windowed(argc, argv)   true when the display should be a window:
//                              an argument exactly "-w", or a program name
//                              ending in 'w' (a copy installed as demow);
//                              every other argument is ignored
#pragma once

bool app_windowed(int argc, const char* const* argv);
