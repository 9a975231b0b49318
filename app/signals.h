// SIGINT and SIGTERM end the show after the current frame, as Escape does.
// SDL would turn both into its quit event, which the frame loop ignores
// because the window's close button sends the same event; the program's
// own handlers, installed once SDL is up, keep the two apart.
//
// Entry points:
//   signals_install()     take SIGINT and SIGTERM over from SDL
//   signals_quit_asked()  whether either has arrived since
//   signals_reset()       forget an arrived signal (tests)
#pragma once

void signals_install();
bool signals_quit_asked();
void signals_reset();
