// .x files that crashed the importer or made it allocate gigabytes, written from what they
// held: each is refused with D3DXERR_INVALIDDATA before the importer runs, and the sound
// files beside them, in every form, still load.
#include <d3dx9.h>

#include <string>

#include "tests/d3dx9_mesh/x_files.h"
#include "tests/d3dx9_mesh/x_loader_fixture.h"

namespace {

using namespace x_files;

const std::string kSkinHeader = "  XSkinMeshHeader { 1; 1; 1; }\n";
const std::string kIdentity = "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;";
const std::string kMaterial = "   Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n";

std::string skinWeights(const std::string& indices) {
    return "  SkinWeights {\n   \"Quad\";\n   2;\n   " + indices + ";\n   0.5, 0.5;\n   " +
           kIdentity + "\n  }\n";
}

class XHostileTest : public XLoaderTest {
protected:
    // Loads and, when it succeeds, gives the mesh's vertex and face counts.
    HRESULT loadText(const std::string& text) {
        releaseAll();
        return load(write("file.x", text));
    }

    void expectQuad(const std::string& file, const char* what) {
        ASSERT_EQ(loadText(file), D3D_OK) << what;
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->GetNumVertices(), 4u) << what;
        EXPECT_EQ(mesh->GetNumFaces(), 2u) << what;
    }

    void expectRefused(const std::string& file, const char* what) {
        EXPECT_EQ(loadText(file), D3DXERR_INVALIDDATA) << what;
        EXPECT_EQ(mesh, nullptr) << what;
    }
};

TEST_F(XHostileTest, SkinWeightsPastTheMeshsVerticesAreRefused) {
    expectQuad(quadText(kSkinHeader + skinWeights("0, 3")), "weights on vertices 0 and 3");
    expectRefused(quadText(kSkinHeader + skinWeights("0, 4")), "a weight on vertex 4 of 4");
    expectRefused(quadText(kSkinHeader + skinWeights("0, 4000000000")), "a weight far past");
    expectRefused(quadText(kSkinHeader + skinWeights("0, -1")), "a negative vertex");
}

TEST_F(XHostileTest, MaterialListWithFaceIndicesButNoMaterialIsRefused) {
    expectQuad(quadText("  MeshMaterialList { 1; 2; 0, 0;;\n" + kMaterial + "  }\n"),
               "one material");
    expectRefused(quadText("  MeshMaterialList { 1; 2; 0, 0;; }\n"), "face indices only");
    // The importer skips what it does not know up to and with the next block: here the
    // material itself.
    expectRefused(quadText("  MeshMaterialList { 1; 2; 0, 0;; junk\n" + kMaterial + "  }\n"),
                  "a stray word before the material");
    expectRefused(quadText("  MeshMaterialList { 1; 2; 0, 0;;,\n" + kMaterial + "  }\n"),
                  "a stray comma before the material");
    expectQuad(quadText("  MeshMaterialList { 1; 2; 0, 0;; { Red }\n  }\n"),
               "a material by reference");
}

TEST_F(XHostileTest, MoreFaceMaterialsThanFacesAreRefused) {
    const std::string list = "  MeshMaterialList { 1; 2; 0, 0;;\n" + kMaterial + "  }\n";
    const std::string forEveryFace = "  MeshMaterialList { 1; 1; 0;; { Red } }\n";
    expectQuad(quadText(list), "one index per face");
    expectQuad(quadText(forEveryFace), "one index for every face");
    // The importer appends a second list's indices and reads a face for each of them.
    expectRefused(quadText(list + list), "two lists in one mesh");
    expectRefused(quadText(forEveryFace + forEveryFace), "two one-index lists");
    expectRefused(quadText("  MeshMaterialList { 1; 3; 0, 0, 0;; { Red } }\n"),
                  "three indices for two faces");
}

// Where the checker and the importer would see a block end in different places, two lists
// that the checker took for other meshes' or for no mesh's reached one mesh.
TEST_F(XHostileTest, BlocksAreFollowedAsTheImporterFollowsThem) {
    const std::string list = "  MeshMaterialList { 1; 2; 0, 0;;\n" + kMaterial + "  }\n";
    expectQuad(quadText("  VertexDuplicationIndices { 4; 4; 0, 1, 2, 3; }\n"),
               "an object the importer skips");
    expectQuad(quadText("", "Quad", "Header { 1; 0; 1; }\n"), "a header the importer skips");
    // As the fuzzer found it: a stray count after the faces makes the importer skip to the
    // next block over the mesh's closing brace.
    expectRefused(quadText("  3; 0, 1, 1;;\n }\n MT coords { 1; 0;0;; }\n" + list + list),
                  "a stray count");
    // It ends a template at its first closing brace and reads on.
    std::string meshInTemplate = quadText(list + list);
    meshInTemplate = meshInTemplate.substr(meshInTemplate.find(" Mesh {"));
    expectRefused(quadText("", "Quad", "template T { <0> { }\n" + meshInTemplate),
                  "a mesh after a template's inner brace");
    // It reads from the line after the header's, and takes a vertical tab for a blank.
    const std::string headerLine = "xof 0303txt 0032\n";
    expectQuad(headerLine.substr(0, 16) + " said the header" + quadText().substr(16),
               "words after the header");
    expectRefused(headerLine.substr(0, 16) + " Skipped {" + quadText(list + list).substr(16),
                  "lists in a mesh behind a block opened on the header's line");
    std::string tabbed = quadText(list + list);
    tabbed.replace(tabbed.find("\n Mesh"), 1, "\v");
    expectRefused(tabbed, "lists in a mesh after a vertical tab");
    // Where it skips a block it counts the braces in strings too.
    expectRefused(quadText("  Skipped { \"{{\" }\n") + list + list + " }\n}\n",
                  "braces in a skipped string");
}

TEST_F(XHostileTest, FacesWithoutCornersOrPastTheVerticesAreRefused) {
    std::string empty = quadText();
    empty.replace(empty.find("3;0,2,3;;"), 9, "0;;");
    expectRefused(empty, "a face of no corners");
    std::string past = quadText();
    past.replace(past.find("3;0,2,3;;"), 9, "3;0,2,4;;");
    expectRefused(past, "a corner past the vertices");
    const std::string normals = "  MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,1;; }\n";
    expectRefused(quadText(normals), "a corner past the normals");
    expectQuad(quadText("  MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }\n"), "one normal");
}

TEST_F(XHostileTest, NamesLongerThanTheImporterHoldsAreRefused) {
    expectQuad(quadText("", std::string(1000, 'F')), "a 1000-character frame");
    expectRefused(quadText("", std::string(1025, 'F')), "a 1025-character frame");
    expectRefused(quadText("", std::string(100000, 'F')), "a 100000-character frame");
    const std::string longTexture =
        "  MeshMaterialList { 1; 2; 0, 0;;\n"
        "   Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;\n"
        "    TextureFilename { \"" +
        std::string(2000, 't') + ".dds\"; }\n   }\n  }\n";
    expectRefused(quadText(longTexture), "a 2000-character texture name");
    expectRefused(quadText("  SkinWeights { \"" + std::string(1500, 'b')), "a cut string");
}

TEST_F(XHostileTest, BlocksNestedDeeperThanTheImporterFollowsAreRefused) {
    auto nested = [](int depth) {
        std::string open;
        std::string close;
        for (int i = 0; i < depth; ++i) {
            open += "Frame F" + std::to_string(i) + " {\n";
            close += "}\n";
        }
        return quadText("", "Quad", open) + close;
    };
    expectQuad(nested(100), "100 frames deep");
    expectRefused(nested(100000), "100000 frames deep");
}

TEST_F(XHostileTest, MoreObjectsThanTheImportersMemoryBudgetAreRefused) {
    auto siblings = [](int count, const std::string& frame) {
        std::string frames;
        for (int i = 0; i < count; ++i) {
            frames += frame;
        }
        return quadText("", "Quad", frames);
    };
    // Each 9-byte frame would cost the importer 1.3 KB: 130 MB for this 0.9 MB file.
    expectRefused(siblings(100000, "Frame {}\n"), "100000 empty frames");
    expectQuad(siblings(20000, "Frame {}\n"), "20000 empty frames");
    // A scene as a modelling tool writes it, near the budget for its size.
    const std::string placed =
        "Frame Part {\n FrameTransformMatrix {\n  " + kIdentity + "\n }\n Frame Child { }\n}\n";
    expectQuad(siblings(13000, placed), "13000 placed frames with a child each");
    expectRefused(siblings(60000, placed), "60000 placed frames with a child each");

    auto materials = [](int count) {
        std::string list = "  MeshMaterialList { " + std::to_string(count) + "; 2; 0, 0;;\n";
        for (int i = 0; i < count; ++i) {
            list += "   Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;;\n    TextureFilename { \"m" +
                    std::to_string(i) + ".dds\"; }\n   }\n";
        }
        return quadText(list + "  }\n");
    };
    expectQuad(materials(3000), "3000 materials");
    expectRefused(materials(20000), "20000 materials");
}

TEST_F(XHostileTest, CompressedTextLoadsAndIsCheckedLikeText) {
    expectQuad(compressed(quadText()), "one block");
    // Comments long enough for several blocks, each inflated with the one before as its
    // dictionary.
    std::string comments;
    for (int i = 0; i < 5000; ++i) {
        comments += "# line " + std::to_string(i * 7919 % 10007) + " of padding\n";
    }
    const std::string padded = quadText("", "Quad", comments);
    ASSERT_GT(padded.size(), 3u * 32768u);
    expectQuad(compressed(padded), "four blocks");
    expectQuad(compressed(padded, 1000), "small blocks");

    // Counts that asked for 1.2 GB and 48 GB before the importer noticed.
    std::string hundredMillion = quadText();
    hundredMillion.replace(hundredMillion.find("  4;"), 4, "  100000000;");
    expectRefused(compressed(hundredMillion), "100,000,000 vertices");
    std::string fourBillion = quadText();
    fourBillion.replace(fourBillion.find("  4;"), 4, "  4000000000;");
    expectRefused(compressed(fourBillion), "4,000,000,000 vertices");
    expectRefused(compressed(quadText("  MeshMaterialList { 1; 2; 0, 0;; }\n")),
                  "no material, compressed");
}

TEST_F(XHostileTest, DamagedCompressedBlocksAreRefused) {
    const std::string good = compressed(quadText());
    std::string badMagic = good;
    badMagic[24] = 'X';  // "CK"
    expectRefused(badMagic, "a block without its signature");
    std::string garbage = good;
    for (size_t i = 26; i < garbage.size(); i += 3) {
        garbage[i] = static_cast<char>(garbage[i] ^ 0x5A);
    }
    expectRefused(garbage, "deflate data damaged");
    expectRefused(good.substr(0, 22), "no block");
    // Thousands of one-byte blocks would each reserve a whole block in the importer.
    std::string tiny = good.substr(0, 22);
    for (int i = 0; i < 4000; ++i) {
        tiny += std::string("\x01\x00", 2) + "CK" + std::string(1, '\x03');
    }
    expectRefused(tiny, "4000 one-byte blocks");
}

TEST_F(XHostileTest, BinaryCountsAreHeldAgainstTheBytesLeft) {
    expectQuad(quadBinary(), "binary");
    expectQuad(compressed(quadBinary()), "compressed binary");
    expectRefused(quadBinary(100000000), "100,000,000 vertices");
    expectRefused(quadBinary(4000000000u), "4,000,000,000 vertices");
    expectRefused(compressed(quadBinary(100000000)), "100,000,000 vertices, compressed");

    Binary listPastTheEnd;
    listPastTheEnd.name("Mesh").open().integersClaiming(1u << 30, {4});
    expectRefused(listPastTheEnd.bytes(), "a list longer than the file");
    Binary longName;
    longName.name("Frame").name(std::string(1100, 'n')).open().close();
    expectRefused(longName.bytes(), "a 1100-byte binary name");
    std::string cutName = Binary().name("Frame").bytes();
    cutName.resize(cutName.size() - 2);
    expectRefused(cutName, "a name cut short");
    expectRefused(quadBinary() + std::string("\x77\x00", 2), "a token that does not exist");
    Binary integerPositions;
    integerPositions.name("Mesh").open().integers({4, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    integerPositions.integers({2, 3, 0, 1, 2, 3, 0, 2, 3}).close();
    expectRefused(integerPositions.bytes(), "positions in an integer list");
}

}  // namespace
