// Real .mod files from Debian packages, fetched at test time into the
// build tree (never part of the repository).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Paths of the fetched modules, sorted; empty when they cannot be had.
std::vector<std::string> real_modules();
