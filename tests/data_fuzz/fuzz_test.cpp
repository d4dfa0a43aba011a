// Damaged level and mesh files must end in data or in a stream exception: never a crash,
// another exception or an allocation sized from garbage.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/render/mesh/mesh_records.h"
#include "game/data/level_data.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/memory_source.h"
#include "tests/support/sample_data.h"
#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Parser = std::function<void(kesh::StreamReader&)>;

// Far above what any well-formed sample needs, far below what a garbage count could ask.
constexpr std::size_t kAllocationLimit = 1 << 20;

enum class Outcome { data, streamError };

Outcome parse(const Bytes& bytes, const Parser& parser) {
    testing_support::MemorySource source(bytes);
    kesh::StreamReader reader(&source);
    try {
        parser(reader);
        return Outcome::data;
    } catch (const kesh::stream::error&) {
        return Outcome::streamError;
    }
}

void checkSurvives(const Bytes& bytes, const Parser& parser, const std::string& what) {
    allocation_counter::resetLargest();
    try {
        parse(bytes, parser);
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": unexpected " << e.what();
    }
    EXPECT_LT(allocation_counter::largest(), kAllocationLimit) << what;
}

// Deterministic damage: flipped bits, or a word overwritten with a value that readers
// commonly mistake for a size.
Bytes damage(const Bytes& original, std::mt19937& random) {
    Bytes bytes = original;
    const std::uint32_t kind = random() % 3;
    if (kind < 2) {
        const std::uint32_t flips = 1 + random() % 4;
        for (std::uint32_t i = 0; i < flips; ++i) {
            const std::uint32_t bit = random() % (bytes.size() * 8);
            bytes[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        }
    } else {
        static const std::uint32_t values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u,
                                               0x80000001u, 0x00010000u, 0x0FFFFFFFu};
        const std::uint32_t value = values[random() % 6];
        const std::size_t at = random() % (bytes.size() - 3);
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    return bytes;
}

void fuzz(const Bytes& original, const Parser& parser, std::uint32_t seed) {
    ASSERT_EQ(parse(original, parser), Outcome::data);

    for (std::size_t length = 0; length < original.size(); ++length) {
        const Bytes cut(original.begin(), original.begin() + length);
        checkSurvives(cut, parser, "cut to " + std::to_string(length));
    }

    std::mt19937 random(seed);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        const Bytes damaged = damage(original, random);
        checkSurvives(damaged, parser, "round " + std::to_string(round));
        refused += parse(damaged, parser) == Outcome::streamError;
    }
    // Damage must be noticed often; a reader that accepted everything would pass the
    // checks above without reading anything.
    EXPECT_GT(refused, 300);
}

}  // namespace

TEST(DamagedFiles, LevelReaderSurvivesTruncationAndCorruption) {
    artlib::LevelWriteOptions options;
    options.classNames = true;
    const Bytes level = artlib::levelFileBytes(testing_support::sampleLevel(), options);
    fuzz(
        level,
        [](kesh::StreamReader& reader) {
            kesh::data::LevelData data;
            kesh::data::readLevelFile(reader, data);
        },
        20261209u);
}

TEST(DamagedFiles, MeshReaderSurvivesTruncationAndCorruption) {
    artlib::MeshWriteOptions options;
    options.classNames = true;
    const Bytes mesh = artlib::meshFileBytes(testing_support::sampleMesh(), options);
    fuzz(
        mesh,
        [](kesh::StreamReader& reader) {
            maya_common::data::tri_mesh data;
            maya_common::data::readMeshFile(reader, data);
        },
        4242u);
}

TEST(DamagedFiles, ProbeSeesLargeAllocations) {
    allocation_counter::resetLargest();
    std::vector<char> big(kAllocationLimit);
    EXPECT_GE(allocation_counter::largest(), kAllocationLimit);
}
