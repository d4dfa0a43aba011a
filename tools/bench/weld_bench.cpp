// The ".wfm" builder's vertex weld over 60k corners that are all distinct vertices: corners
// whose keys differ only in fields that a weak hash lets cancel (position index 4n with normal
// index n) against ordinary ones (position and normal n). Both should build in about the same
// time; a hash that folds the colliding keys together makes the first quadratic.
//
//   weld_bench [runs]     (default 7)
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "engine/render/mesh/mesh_builder.h"
#include "game_session.h"
#include "tests/support/weld_records.h"

namespace {

constexpr std::uint32_t kTriangles = 20000;

// The median wall time of building the records, in milliseconds.
double buildMilliseconds(kesh::DxDevice& dx, const maya_common::data::tri_mesh& records, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = bench::wallSeconds();
        const win32::ComPtr<ID3DXMesh> mesh = kesh::buildD3DXMesh(records, &dx);
        times.push_back((bench::wallSeconds() - start) * 1000.0);
        if (mesh->GetNumVertices() != kTriangles * 3) {
            std::fprintf(stderr, "weld_bench: the corners welded to %lu vertices\n",
                         static_cast<unsigned long>(mesh->GetNumVertices()));
            std::exit(1);
        }
    }
    return bench::median(times);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    bench::GameSession session(d3d9::BackendKind::Null);
    const double ordinary =
        buildMilliseconds(session.dx(), morvale_testing::weldRecords(kTriangles, false), runs);
    const double colliding =
        buildMilliseconds(session.dx(), morvale_testing::weldRecords(kTriangles, true), runs);
    bench::printRow("mesh weld, 60k ordinary corners (median)", bench::format("%.1f ms", ordinary),
                    "-");
    bench::printRow("mesh weld, 60k colliding corners (median)",
                    bench::format("%.1f ms", colliding), "< 2x ordinary");
    return 0;
}
