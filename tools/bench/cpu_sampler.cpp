#include "cpu_sampler.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace bench {
namespace {

constexpr int kDepth = 64;

struct Sample {
    long cpuNanoseconds;  // since the sample before
    void* at;             // the interrupted instruction
    int depth;            // of the stack, the handler's own frames first
    void* frames[kDepth];
};

// The handler may only touch memory that exists before the first signal.
std::vector<Sample>* samples = nullptr;
std::atomic<std::size_t> taken{0};
long lastCpu = 0;

long threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000000000L + now.tv_nsec;
}

// The interrupted instruction from the signal's context: the stack's first frames belong to
// the handler and to whatever wraps it (a sanitizer's interceptor adds one).
void* interruptedAt(void* context) {
#if defined(__x86_64__)
    return reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#else
#error "the sampler reads the instruction pointer of x86-64 only"
#endif
}

void onSignal(int, siginfo_t*, void* context) {
    const std::size_t index = taken.load(std::memory_order_relaxed);
    if (index >= samples->size()) {
        return;
    }
    Sample& sample = (*samples)[index];
    const long cpu = threadCpuNanoseconds();
    sample.cpuNanoseconds = cpu - lastCpu;
    sample.at = interruptedAt(context);
    sample.depth = backtrace(sample.frames, kDepth);
    // The unwinding is the profiler's own time, not the sampled code's.
    lastCpu = threadCpuNanoseconds();
    taken.store(index + 1, std::memory_order_relaxed);
}

struct Symbol {
    std::string function;  // demangled, empty when unknown
    std::string library;
};

// Names are looked up once per address: the same few thousand return addresses recur.
class Symbols {
public:
    const Symbol& of(void* address) {
        auto found = cache.find(address);
        if (found != cache.end()) {
            return found->second;
        }
        Symbol symbol;
        Dl_info info{};
        // A return address lies just past its call: the call belongs to the byte before it.
        if (dladdr(static_cast<char*>(address) - 1, &info) != 0) {
            if (info.dli_fname != nullptr) {
                const std::string path = info.dli_fname;
                symbol.library = path.substr(path.rfind('/') + 1);
            }
            if (info.dli_sname != nullptr) {
                int status = 0;
                char* plain = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
                symbol.function = status == 0 && plain != nullptr ? plain : info.dli_sname;
                std::free(plain);
            }
        }
        return cache.emplace(address, std::move(symbol)).first->second;
    }

private:
    std::unordered_map<void*, Symbol> cache;
};

// The name without its arguments, and the first words only of a long template's.
std::string shortName(const std::string& function) {
    const std::string name = function.substr(0, function.find('('));
    return name.size() > 80 ? name.substr(0, 77) + "..." : name;
}

double secondsOf(const Sample& sample) {
    return static_cast<double>(sample.cpuNanoseconds) * 1e-9;
}

std::vector<CpuSampler::Count> sorted(const std::map<std::string, double>& counts,
                                      std::size_t limit) {
    std::vector<CpuSampler::Count> out;
    for (const auto& [name, count] : counts) {
        out.push_back({name, count});
    }
    std::sort(out.begin(), out.end(), [](const CpuSampler::Count& a, const CpuSampler::Count& b) {
        return a.seconds > b.seconds;
    });
    if (out.size() > limit) {
        out.resize(limit);
    }
    return out;
}

}  // namespace

CpuSampler::CpuSampler(long intervalMicroseconds, std::size_t capacity)
    : interval(intervalMicroseconds) {
    if (samples != nullptr) {
        throw std::logic_error("one CPU sampler at a time");
    }
    samples = new std::vector<Sample>(capacity);
    taken = 0;
    // backtrace loads its unwinder on first use, which must not happen inside the handler.
    void* warm[4];
    backtrace(warm, 4);

    struct sigaction action {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPROF, &action, &previous);

    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGPROF;
    event._sigev_un._tid = gettid();
    if (timer_create(CLOCK_THREAD_CPUTIME_ID, &event, &timer) != 0) {
        sigaction(SIGPROF, &previous, nullptr);
        delete samples;
        samples = nullptr;
        throw std::runtime_error("no timer for this thread");
    }
}

CpuSampler::~CpuSampler() {
    stop();
    timer_delete(timer);
    sigaction(SIGPROF, &previous, nullptr);
    delete samples;
    samples = nullptr;
}

void CpuSampler::start() {
    lastCpu = threadCpuNanoseconds();
    itimerspec every{};
    every.it_interval.tv_nsec = interval * 1000;
    every.it_value = every.it_interval;
    timer_settime(timer, 0, &every, nullptr);
}

void CpuSampler::stop() {
    const itimerspec never{};
    timer_settime(timer, 0, &never, nullptr);
}

std::size_t CpuSampler::sampleCount() const {
    return taken.load();
}

double CpuSampler::sampledSeconds() const {
    double seconds = 0.0;
    for (std::size_t s = 0; s < sampleCount(); ++s) {
        seconds += secondsOf((*samples)[s]);
    }
    return seconds;
}

std::vector<CpuSampler::Count> CpuSampler::attribute(
    const std::vector<std::string>& functions) const {
    std::vector<Count> counts;
    for (const std::string& function : functions) {
        counts.push_back({function, 0.0});
    }
    counts.push_back({"other", 0.0});
    Symbols symbols;
    for (std::size_t s = 0; s < sampleCount(); ++s) {
        const Sample& sample = (*samples)[s];
        std::size_t best = functions.size();
        // The handler's frames match no name of the sampled code.
        for (int f = 0; f < sample.depth; ++f) {
            const std::string& name = symbols.of(sample.frames[f]).function;
            for (std::size_t k = 0; k < best; ++k) {
                if (name.rfind(functions[k], 0) == 0) {
                    best = k;
                    break;
                }
            }
        }
        counts[best].seconds += secondsOf(sample);
    }
    return counts;
}

std::vector<CpuSampler::Count> CpuSampler::topFunctions(std::size_t limit) const {
    std::map<std::string, double> counts;
    Symbols symbols;
    for (std::size_t s = 0; s < sampleCount(); ++s) {
        const Sample& sample = (*samples)[s];
        // The instruction itself, not a return address: no byte back.
        const Symbol& at = symbols.of(static_cast<char*>(sample.at) + 1);
        const std::string name =
            at.function.empty() ? "? (" + at.library + ")" : shortName(at.function);
        counts[name] += secondsOf(sample);
    }
    return sorted(counts, limit);
}

std::vector<CpuSampler::Count> CpuSampler::topLibraries(std::size_t limit) const {
    std::map<std::string, double> counts;
    Symbols symbols;
    for (std::size_t s = 0; s < sampleCount(); ++s) {
        const Sample& sample = (*samples)[s];
        counts[symbols.of(static_cast<char*>(sample.at) + 1).library] += secondsOf(sample);
    }
    return sorted(counts, limit);
}

}  // namespace bench
