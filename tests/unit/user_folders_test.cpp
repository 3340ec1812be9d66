// The user's documents folder: the XDG setting, then ~/Documents, then the home folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScopedEnv.h"
#include "common/UserFolders.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

TEST(UserFolders, DocumentsFolderFollowsTheUserDirsThenDocumentsThenHome) {
  std::string pattern = (fs::temp_directory_path() / "kb-home-XXXXXX").string();
  const fs::path home = ::mkdtemp(pattern.data());
  test::ScopedEnv setHome("HOME", home.string());
  test::ScopedEnv setConfig("XDG_CONFIG_HOME", (home / "conf").string());

  EXPECT_EQ(documentsFolder(), home.string());
  fs::create_directory(home / "Documents");
  EXPECT_EQ(documentsFolder(), (home / "Documents").string());

  // The setting wins once the folder it names exists; a line for another folder is no match.
  fs::create_directories(home / "conf");
  std::ofstream(home / "conf/user-dirs.dirs") << "# written by hand\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                                                 "XDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n";
  EXPECT_EQ(documentsFolder(), (home / "Documents").string());
  fs::create_directory(home / "Papiers");
  EXPECT_EQ(documentsFolder(), (home / "Papiers").string());

  EXPECT_TRUE(folderWritable(home.string()));
  EXPECT_FALSE(folderWritable((home / "none").string()));
  EXPECT_TRUE(systemProgramFolder("/usr/bin/"));
  EXPECT_FALSE(systemProgramFolder(home.string()));
  fs::remove_all(home);
}

}  // namespace
}  // namespace kb
