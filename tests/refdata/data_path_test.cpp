// Where the data file is sought: the PATH rule, the order of the candidate folders, the
// existence test, and the search of this process finding the file the build produced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "lantrel/data_file.hpp"
#include "refdata/data_path.hpp"
#include "refdata_files.hpp"

namespace lantrel::detail {
namespace {

TEST(DataPath, PathEntriesOnlyTakeEntriesFollowedByASeparator) {
  const struct {
    const char* value;
    std::vector<std::string> entries;
  } cases[] = {
      {"/a:/b", {"/a/"}},
      {"/a:/b:", {"/a/", "/b/"}},
      {"/a::/b:", {"/a/", "/", "/b/"}},
      {"/a/:/b/:", {"/a/", "/b/"}},
      {":", {"/"}},
      {"/only", {}},
      {"", {}},
      {"rel:./x::", {"rel/", "./x/", "/"}},
  };
  for (const auto& c : cases) EXPECT_EQ(PathEntries(c.value), c.entries) << c.value;
}

TEST(DataPath, WithSeparatorAppendsOnlyWhenMissing) {
  EXPECT_EQ(WithSeparator(""), "/");
  EXPECT_EQ(WithSeparator("/data"), "/data/");
  EXPECT_EQ(WithSeparator("/data/"), "/data/");
}

TEST(DataPath, InstallFolderIsFoundFromTheModuleFolder) {
  // The relative paths are the build's (its install layout); a usual layout has both
  // libdir and bindir one level under the prefix, a multiarch libdir two.
  const std::string fromLibrary = LANTREL_LIBDIR_TO_DATA;
  const std::string fromProgram = LANTREL_BINDIR_TO_DATA;
  const struct {
    ModuleLocation module;
    std::string expected;
  } cases[] = {
      {{"/opt/x/lib/", ModuleKind::SharedLibrary},
       WithSeparator(std::filesystem::path("/opt/x/lib/" + fromLibrary).lexically_normal().string())},
      {{"/opt/x/bin/", ModuleKind::Program},
       WithSeparator(std::filesystem::path("/opt/x/bin/" + fromProgram).lexically_normal().string())},
      {{"", ModuleKind::SharedLibrary}, ""},
      {{"", ModuleKind::Program}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(InstallFolderOf(c.module), c.expected) << c.module.folder;
}

TEST(DataPath, InstallFolderOfTheUsualLayoutIsShortened) {
  // No "..": the folder reads as the place it is, and "/" has no parent to climb to.
  const std::string fromLibrary = LANTREL_LIBDIR_TO_DATA;
  if ((fromLibrary != "../share/lantrel" && fromLibrary != "../../share/lantrel") ||
      std::string(LANTREL_BINDIR_TO_DATA) != "../share/lantrel") {
    GTEST_SKIP() << "built for another install layout";
  }
  const char* libdir = fromLibrary == "../share/lantrel" ? "/usr/lib/" : "/usr/lib/x86_64-linux-gnu/";
  const struct {
    ModuleLocation module;
    const char* expected;
  } cases[] = {
      {{libdir, ModuleKind::SharedLibrary}, "/usr/share/lantrel/"},
      {{"/home/u/tree/bin/", ModuleKind::Program}, "/home/u/tree/share/lantrel/"},
      {{"/bin/", ModuleKind::Program}, "/share/lantrel/"},
      {{"/", ModuleKind::Program}, "/share/lantrel/"},
  };
  for (const auto& c : cases) EXPECT_EQ(InstallFolderOf(c.module), c.expected) << c.module.folder;
}

TEST(DataPath, ProcessSearchTriesTheInstallFolderOfItsOwnTree) {
  // This test program has the library linked in: step 2 starts from the program's folder.
  const SearchPlaces places = ProcessSearchPlaces();
  ASSERT_FALSE(places.moduleFolder.empty());
  ASSERT_TRUE(places.installFolder.has_value());
  EXPECT_EQ(*places.installFolder, InstallFolderOf({places.moduleFolder, ModuleKind::Program}));
  // Then the configured prefix's data folder, unless the system folders are tried anyway.
  const std::string configured = LANTREL_CONFIGURED_DATA_FOLDER;
  const bool usual = configured == places.systemFolder || configured == places.system32Folder;
  EXPECT_EQ(places.configuredFolder, usual ? "" : configured);
}

SearchPlaces FakePlaces(int* currentAsked) {
  SearchPlaces places;
  places.moduleFolder = "/module/";
  places.installFolder = "/install";
  places.configuredFolder = "/configured/";
  places.systemFolder = "/system/";
  places.system32Folder = "/system32/";
  places.pathValue = "/p1:/p2::/last";
  places.applicationFolder = "/application/";
  places.currentFolder = [currentAsked] {
    ++*currentAsked;
    return std::string("/current/");
  };
  return places;
}

TEST(DataPath, CandidatesAreTestedInOrder) {
  int asked = 0;
  const SearchPlaces places = FakePlaces(&asked);
  std::vector<std::string> tested;
  const auto none = [&](const std::string& folder) {
    tested.push_back(folder);
    return false;
  };
  EXPECT_EQ(FirstDataFolder(places, none), "");
  const std::vector<std::string> order = {"/module/", "/install/", "/configured/", "/system/",
                                          "/system32/", "/p1/", "/p2/", "/", "/application/",
                                          "/current/"};
  EXPECT_EQ(tested, order);
  EXPECT_EQ(asked, 1);

  // Whichever candidate holds the file, it is returned exactly as tested and the search stops.
  for (std::size_t i = 0; i < order.size(); ++i) {
    tested.clear();
    asked = 0;
    const auto only = [&](const std::string& folder) {
      tested.push_back(folder);
      return folder == order[i];
    };
    EXPECT_EQ(FirstDataFolder(places, only), order[i]);
    EXPECT_EQ(tested.size(), i + 1);
    EXPECT_EQ(asked, i + 1 == order.size() ? 1 : 0) << "current directory asked too early";
  }
}

TEST(DataPath, UnknownPlacesAreSkipped) {
  int asked = 0;
  SearchPlaces places = FakePlaces(&asked);
  places.moduleFolder.clear();
  places.installFolder.reset();
  places.pathValue = "";
  std::vector<std::string> tested;
  FirstDataFolder(places, [&](const std::string& folder) {
    tested.push_back(folder);
    return false;
  });
  EXPECT_EQ(tested, (std::vector<std::string>{"/application/", "/current/"}));

  places.pathValue.reset();
  places.currentFolder = nullptr;
  tested.clear();
  FirstDataFolder(places, [&](const std::string& folder) {
    tested.push_back(folder);
    return false;
  });
  EXPECT_EQ(tested, (std::vector<std::string>{"/application/"}));
}

TEST(DataPath, FileExistsInTestsForAnEntryNamedLikeTheDataFile) {
  refdata_test::TempFolder dir;
  EXPECT_FALSE(FileExistsIn(dir.Folder()));
  dir.Write({1, 2, 3});
  EXPECT_TRUE(FileExistsIn(dir.Folder()));
  EXPECT_FALSE(FileExistsIn(""));

  refdata_test::TempFolder other;
  ASSERT_EQ(::mkdir(other.File().c_str(), 0700), 0);
  EXPECT_TRUE(FileExistsIn(other.Folder())) << "any entry of that name counts";
}

TEST(DataPath, ModuleFolderIsTheFolderOfThisProgram) {
  // This test program links the library statically, so the module is the program itself.
  const SearchPlaces places = ProcessSearchPlaces();
  ASSERT_FALSE(places.moduleFolder.empty());
  EXPECT_EQ(places.moduleFolder.back(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(
      places.moduleFolder, std::filesystem::read_symlink("/proc/self/exe").parent_path()));
}

TEST(DataPath, FileOnlyInTheCurrentDirectoryIsFoundLast) {
  if (!DefaultDataPath().empty()) GTEST_SKIP() << "another candidate holds a data file";
  refdata_test::TempFolder dir;
  dir.Write({0});
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Folder());
  const std::string found = DefaultDataPath();
  std::filesystem::current_path(previous);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.back(), '/');
  EXPECT_TRUE(std::filesystem::equivalent(found, dir.Folder()));
}

}  // namespace
}  // namespace lantrel::detail

namespace lantrel {
namespace {

TEST(DataSearchFolders, ListsTheSearchTheConstructorMakes) {
  const auto folders = DataSearchFolders();
  ASSERT_FALSE(folders.empty());
  for (const auto& f : folders) EXPECT_EQ(f.back(), '/') << f;
  // The file a new position loads comes from the first listed folder that holds one.
  std::string expected;
  for (const auto& f : folders) {
    if (detail::FileExistsIn(f)) {
      expected = f + "lantrel.bin";
      break;
    }
  }
  EXPECT_EQ(DefaultDataFile(), expected);
}

}  // namespace
}  // namespace lantrel
