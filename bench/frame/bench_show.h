// The show's own data for the frame benchmarks, loaded once: the pictures,
// the mesh and the effect tables, from data/ in the working directory or, if
// there is none, in the build directory two levels above the program.
//
// Entry points:
//   bench_show()   the loaded show, or nullptr when data/ can't be used
#pragma once

#include "app/show.h"

Show* bench_show();
