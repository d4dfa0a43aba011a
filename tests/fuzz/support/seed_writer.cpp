// Writes the seeds that come from the project's own writers: level and mesh files with every
// record, in each record layout the readers know. Usage: fuzz_seed_writer <seeds folder>;
// files go to <seeds folder>/<target>/.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/box_records.h"
#include "tests/support/sample_data.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace {

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_writer <seeds folder>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];

    const kesh::data::LevelData level = testing_support::sampleLevel();
    for (bool classNames : {false, true}) {
        artlib::LevelWriteOptions newest;
        newest.classNames = classNames;
        artlib::LevelWriteOptions oldest = newest;
        oldest.staticObject = 0;
        oldest.locatorObject = 0;
        const std::string suffix = classNames ? "-named" : "";
        write(root / "level" / ("sample" + suffix + ".slev"),
              artlib::levelFileBytes(level, newest));
        write(root / "level" / ("sample-v0" + suffix + ".slev"),
              artlib::levelFileBytes(level, oldest));
        write(root / "level" / ("empty" + suffix + ".slev"),
              artlib::levelFileBytes(kesh::data::LevelData(), newest));
    }

    const maya_common::data::tri_mesh mesh = testing_support::sampleMesh();
    for (bool classNames : {false, true}) {
        artlib::MeshWriteOptions options;
        options.classNames = classNames;
        const std::string suffix = classNames ? "-named" : "";
        write(root / "mesh" / ("sample" + suffix + ".wfm"), artlib::meshFileBytes(mesh, options));
        options.triMesh = 0;
        write(root / "mesh" / ("sample-v0" + suffix + ".wfm"),
              artlib::meshFileBytes(mesh, options));
    }
    // A mesh that builds, with the part boxes of a building (the whole, then two solid
    // parts), so that the boxes reach the collision shape.
    maya_common::data::tri_mesh building = morvale_testing::boxRecords({-4, 0, -2}, {4, 6, 2});
    building.bboxes = {{-4, 0, -2, 4, 6, 2}, {-4, 0, -2, 0, 6, 2}, {4, 3, 2, 0, 0, 0}};
    write(root / "mesh" / "building.wfm", artlib::meshFileBytes(building));
    return 0;
}
