#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "temp_directory.h"

namespace {

// Listing order is the directory's own, so results are compared sorted.
std::vector<std::string> sortedListing(const std::string &pattern) {
    std::vector<std::string> names = platform::listDirectory(pattern);
    std::sort(names.begin(), names.end());
    return names;
}

struct ListingCase {
    const char *name;
    const char *pattern;
    std::vector<std::string> expected; // sorted
};

class DirectoryListingTest : public ::testing::TestWithParam<ListingCase> {
protected:
    // A texture folder as the viewer meets it, with the strays that must not match.
    void SetUp() override {
        for (const char *file : {"Terrain.png", "Front.png", "HeightMap.raw", "UPPER.PNG",
                                 "old.png.bak", "Sky Top.png", ".hidden.png"}) {
            writeFile(std::string("Resources/Textures/") + file, "x");
        }
        makeDirectories("Resources/Textures/Atlas.png");
    }

    TempDirectory folder;
};

TEST_P(DirectoryListingTest, ListsTheMatchingNames) {
    EXPECT_EQ(sortedListing(GetParam().pattern), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DirectoryListingTest,
    ::testing::Values(
        // A subdirectory matches by name like a file; a leading dot is no exception.
        ListingCase{"PngOnly",
                    "Resources/Textures/*.png",
                    {".hidden.png", "Atlas.png", "Front.png", "Sky Top.png", "Terrain.png"}},
        ListingCase{"StarListsDotEntries",
                    "Resources/Textures/*",
                    {".", "..", ".hidden.png", "Atlas.png", "Front.png", "HeightMap.raw",
                     "Sky Top.png", "Terrain.png", "UPPER.PNG", "old.png.bak"}},
        ListingCase{"CaseSensitive", "Resources/Textures/*.PNG", {"UPPER.PNG"}},
        ListingCase{"ExactName", "Resources/Textures/HeightMap.raw", {"HeightMap.raw"}},
        ListingCase{"NameWithSpace", "Resources/Textures/Sky *.png", {"Sky Top.png"}},
        ListingCase{"NoMatch", "Resources/Textures/*.jpg", {}},
        ListingCase{"EmptyNamePattern", "Resources/Textures/", {}},
        ListingCase{"MissingFolder", "Resources/Missing/*", {}},
        ListingCase{"FileTakenAsFolder", "Resources/Textures/Terrain.png/*", {}},
        ListingCase{"NoFolderMeansWorkingDirectory", "*", {".", "..", "Resources"}}),
    [](const ::testing::TestParamInfo<ListingCase> &info) { return info.param.name; });

// "/x" is in the root folder: the empty folder part before a leading '/' is not ".".
TEST(DirectoryListingRootTest, LeadingSlashListsTheRoot) {
    std::vector<std::string> expected = {".", ".."};
    for (const auto &entry : std::filesystem::directory_iterator("/")) {
        expected.push_back(entry.path().filename().string());
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sortedListing("/*"), expected);
}

} // namespace
