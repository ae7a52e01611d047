#pragma once

#include <string>

namespace plumwick {

// The folder the window offers for output at start: the program's own folder, so a copy unpacked somewhere
// keeps its icons beside it, but only when that folder is writable and not a system program folder
// (/usr/bin and its kin, where an installed package lives). Otherwise the pictures folder, or the home
// folder when there is no pictures folder.
std::string StartingFolder(const std::string& programFolder, const std::string& picturesFolder,
                           const std::string& homeFolder);

}  // namespace plumwick
