#include "engine/core/perf_timer.h"

namespace kesh {

PerfTimer::PerfTimer() {
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    QueryPerformanceCounter(&now);
}

void PerfTimer::update() {
    QueryPerformanceCounter(&now);
}

}  // namespace kesh
