// SIGINT and SIGTERM end the show after the current frame, as Escape does
// (and end capture's run, which then finishes its outputs).
// SDL would turn both into its quit event, which the frame loop ignores
// because the window's close button sends the same event; the program's
// own handlers, installed once SDL is up, keep the two apart.
//
// Entry points:
//   signals_install()     take SIGINT and SIGTERM over from SDL
//   signals_quit_asked()  whether either has arrived since
//   signals_caught()      which one arrived first (0: none)
//   signals_reset()       forget an arrived signal (tests)
#pragma once

void signals_install();
bool signals_quit_asked();
int signals_caught();
void signals_reset();
