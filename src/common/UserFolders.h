#pragma once
// Folders of the running program and of its user: where a file goes when the program's own
// folder (a system folder once installed) is not the user's to write.
#include <string>

namespace kb {

// The folder of the running executable; "." when it cannot be told.
std::string programFolder();

// True when the user may create files in the folder (it exists and is writable).
bool folderWritable(const std::string& folder);

// True for the folders of installed programs (/usr/bin and the like): no place for a user's
// files, even for a user who may write there.
bool systemProgramFolder(const std::string& folder);

// The user's documents folder: XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (default
// ~/.config) when that folder exists, else ~/Documents when it exists, else the home folder.
// Empty when HOME is not set.
std::string documentsFolder();

}  // namespace kb
