#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/core/mapped_file.h"
#include "engine/core/stream_reader.h"
#include "engine/core/stream_source.h"

namespace {

// A fresh folder under the temporary directory, removed with its files afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = ::testing::TempDir() + "mapped_XXXXXX";
        path = ::mkdtemp(&pattern[0]) ? pattern : std::string();
    }
    ~TempFolder() {
        for (const auto& file : files) {
            std::remove(file.c_str());  // files, then the folders listed after them
        }
        ::rmdir(path.c_str());
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string full = path + "/" + name;
        std::ofstream(full, std::ios::binary) << bytes;
        files.push_back(full);
        return full;
    }
    std::string path;
    std::vector<std::string> files;
};

std::wstring wide(const std::string& narrow) {
    return std::wstring(narrow.begin(), narrow.end());
}

}  // namespace

TEST(MappedFile, MapsTheWholeFile) {
    TempFolder folder;
    const std::string path = folder.write("data.bin", std::string("ab\0cd", 5));
    kesh::MappedFile file(path);
    ASSERT_TRUE(file.valid());
    ASSERT_EQ(file.size(), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()), 5), std::string("ab\0cd", 5));
}

TEST(MappedFile, MissingEmptyAndFolderAreNotValid) {
    TempFolder folder;
    EXPECT_FALSE(kesh::MappedFile(folder.path + "/missing.bin").valid());
    EXPECT_FALSE(kesh::MappedFile(folder.write("empty.bin", "")).valid());
    EXPECT_FALSE(kesh::MappedFile(folder.path).valid());
    const kesh::MappedFile none;
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.size(), 0u);
}

TEST(MappedFile, BackslashesAreFolderSeparators) {
    TempFolder folder;
    folder.write("level.slev", "xyz");
    std::string windowsStyle = folder.path + "\\level.slev";
    kesh::MappedFile file(windowsStyle);
    ASSERT_TRUE(file.valid());
    EXPECT_EQ(file.size(), 3u);
}

TEST(MappedFile, NamesDifferingOnlyInCaseFindTheFile) {
    TempFolder folder;
    ASSERT_EQ(::mkdir((folder.path + "/Levels").c_str(), 0700), 0);
    folder.write("Levels/Harbour.SLEV", "abcd");
    folder.files.push_back(folder.path + "/Levels");  // removed after the file
    kesh::MappedFile file(folder.path + "\\levels\\harbour.slev");
    ASSERT_TRUE(file.valid());
    EXPECT_EQ(file.size(), 4u);
    EXPECT_FALSE(kesh::MappedFile(folder.path + "/levels/harbor.slev").valid());
}

TEST(MappedFile, MovingHandsOverTheMapping) {
    TempFolder folder;
    kesh::MappedFile first(folder.write("a.bin", "1234"));
    const std::uint8_t* view = first.data();
    kesh::MappedFile second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.data(), view);
    kesh::MappedFile third(folder.write("b.bin", "56"));
    third = std::move(second);
    EXPECT_EQ(third.size(), 4u);
    EXPECT_EQ(third.data()[3], '4');
}

TEST(FileSource, ReadsTheFileFrontToBackThroughTheReader) {
    TempFolder folder;
    const std::string path = folder.write("words.bin", std::string("\x01\0\0\0\x02\0", 6));
    auto source = kesh::openStreamSource(wide(path));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->size(), 6u);
    kesh::StreamReader reader(source.get());
    std::uint32_t a = 0, b = 0;
    reader.readU32(&a).readU32(&b);
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 2u);  // two bytes present, two missing kept from the initial 0
    EXPECT_TRUE(reader.eof());
    EXPECT_EQ(source->remaining(), 0u);
    char c;
    EXPECT_EQ(source->read(&c, 1), 0u);
}

TEST(FileSource, MissingOrEmptyFileGivesNoSourceAndTheFirstReadFails) {
    TempFolder folder;
    EXPECT_EQ(kesh::makeFileSource(wide(folder.path + "/none.slev")), nullptr);
    EXPECT_EQ(kesh::openStreamSource(wide(folder.write("empty.slev", ""))), nullptr);

    auto missing = kesh::openStreamSource(wide(folder.path + "\\none.slev"));
    kesh::StreamReader reader(missing.get());
    std::uint32_t word;
    EXPECT_THROW(reader.readU32(&word), kesh::stream::error);
}

TEST(FileSource, NonAsciiWidePathsReachTheFileSystemAsUtf8) {
    TempFolder folder;
    folder.write(
        "pi\xc3\xa8"
        "ce.bin",
        "ok");
    auto source = kesh::makeFileSource(wide(folder.path) + L"/pi\u00e8ce.bin");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->size(), 2u);
}
