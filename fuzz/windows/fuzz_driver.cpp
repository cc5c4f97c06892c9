// A small coverage-guided fuzzing engine for targets that need the real system (its code pages,
// its case-insensitive order) and so run as Windows programs, where libFuzzer is not available.
// It drives the libFuzzer entry point LLVMFuzzerTestOneInput and takes a subset of libFuzzer's
// command line, so that scripts treat both kinds of target alike:
//   target FILE...                    runs each file once (the corpus replay)
//   target [-runs=N] [-max_total_time=S] [-max_len=L] [-seed=S] [-artifact_prefix=P] OUT [IN...]
//                                     fuzzes: the corpus is read from OUT and IN, new inputs are
//                                     written to OUT
//   target -merge=1 OUT IN...         adds to OUT the inputs of IN that reach what OUT does not
// Coverage comes from GCC's -fsanitize-coverage=trace-pc on the code under test: every basic
// block calls __sanitizer_cov_trace_pc, which counts the edge from the previous block in a
// table. An input is kept when it reaches an edge, or an edge a number of times (in the
// buckets 1, 2, 3, 4-7, 8-15, 16-31, 32-127, 128+), that no kept input reached. Without the
// instrumentation every run counts nothing and only the replay is of use.
#include "fuzz/windows/fuzz_driver.h"

#include "foundation/unique_handle.h"

#include <windows.h>

#if defined(_MSC_VER)
#include <intrin.h>
#endif

#include <algorithm>
#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMapSize = 1 << 16;
std::array<std::uint8_t, kMapSize> g_Counters{};
std::uintptr_t g_PreviousBlock = 0;

// What the run in progress is given: written out when it fails.
const Bytes* g_CurrentInput = nullptr;
std::string g_ArtifactPrefix = "./";

}  // namespace

extern "C" void __sanitizer_cov_trace_pc() {
#if defined(_MSC_VER)
    const auto block = reinterpret_cast<std::uintptr_t>(_ReturnAddress());
#else
    const auto block = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
#endif
    const std::uintptr_t mixed = (block >> 4) ^ (block << 7);
    std::uint8_t& counter = g_Counters[(mixed ^ g_PreviousBlock) & (kMapSize - 1)];
    if (counter != 0xFF) ++counter;
    g_PreviousBlock = mixed >> 1;
}

namespace {

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::uint64_t Fingerprint(const Bytes& bytes) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ULL;
    return hash;
}

bool ReadWhole(const std::string& path, Bytes& bytes) {
    const tarvox::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    std::uint8_t buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return true;
}

bool WriteWhole(const std::string& path, const Bytes& bytes) {
    const tarvox::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FilesOf(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    for (const tarvox::FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
         search;) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(folder + "\\" + found.cFileName);
        if (!FindNextFileA(search.Get(), &found)) break;
    }
    std::sort(files.begin(), files.end());
    return files;
}

void SaveArtifact(const char* kind) {
    if (g_CurrentInput == nullptr) return;
    const std::string path = g_ArtifactPrefix + kind + "-" + Hex(Fingerprint(*g_CurrentInput));
    WriteWhole(path, *g_CurrentInput);
    std::fprintf(stderr, "artifact_prefix='%s'; Test unit written to %s\n",
                 g_ArtifactPrefix.c_str(), path.c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "==ERROR: the target raised exception 0x%08lx\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    SaveArtifact("crash");
    std::fflush(stderr);
    ExitProcess(1);
}

// The edges and hit-count buckets reached so far.
class Features {
public:
    // Runs one input and folds what it reached in; true when it reached something new.
    bool Run(const Bytes& input) {
        g_Counters.fill(0);
        g_PreviousBlock = 0;
        g_CurrentInput = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
        g_CurrentInput = nullptr;
        bool fresh = false;
        for (std::size_t edge = 0; edge < kMapSize; ++edge) {
            if (g_Counters[edge] == 0) continue;
            const std::size_t feature = edge * 8 + Bucket(g_Counters[edge]);
            if (m_Seen[feature]) continue;
            m_Seen[feature] = true;
            if (!m_Edges[edge]) ++m_EdgeCount;
            m_Edges[edge] = true;
            fresh = true;
        }
        return fresh;
    }
    std::size_t Edges() const { return m_EdgeCount; }
    std::size_t Count() const { return m_Seen.count(); }

private:
    static std::size_t Bucket(std::uint8_t hits) {
        if (hits <= 3) return hits - 1u;
        if (hits < 8) return 3;
        if (hits < 16) return 4;
        if (hits < 32) return 5;
        return hits < 128 ? 6 : 7;
    }
    std::bitset<kMapSize * 8> m_Seen;
    std::bitset<kMapSize> m_Edges;
    std::size_t m_EdgeCount = 0;
};

// Byte sequences that mean something to text and configuration parsers.
const char* const kTokens[] = {"[",
                               "]",
                               "=",
                               "\r\n",
                               "\n",
                               "\r",
                               ";",
                               "#",
                               "\"",
                               "%",
                               "\\",
                               " ",
                               "\t",
                               "REGEDIT4",
                               "Windows Registry Editor Version 5.00",
                               "\xEF\xBB\xBF",
                               "\xFF\xFE",
                               "\xFE\xFF",
                               "[HKEY_",
                               "@=",
                               "hex(2):",
                               "dword:",
                               "\\\r\n",
                               "\xC3\xA4",
                               "\xE4",
                               "\x00",
                               "\xED\xA0\x80"};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : m_Random(seed) {}

    // One to four random changes of input; another corpus entry may be spliced in.
    Bytes Mutate(const Bytes& input, const std::vector<Bytes>& corpus, std::size_t maxLength) {
        Bytes bytes = input;
        for (std::size_t changes = 1 + Below(4); changes > 0; --changes) {
            switch (Below(9)) {
                case 0:
                    if (!bytes.empty()) bytes[Below(bytes.size())] ^= 1u << Below(8);
                    break;
                case 1:
                    if (!bytes.empty()) bytes[Below(bytes.size())] = Byte();
                    break;
                case 2: bytes.insert(bytes.begin() + Below(bytes.size() + 1), Byte()); break;
                case 3: Erase(bytes); break;
                case 4: InsertRunOf(bytes, bytes, 32); break;
                case 5: {
                    const char* token = kTokens[Below(std::size(kTokens))];
                    const std::size_t length = token[0] == '\0' ? 1 : std::strlen(token);
                    bytes.insert(bytes.begin() + Below(bytes.size() + 1), token, token + length);
                    break;
                }
                case 6: InsertRunOf(bytes, corpus[Below(corpus.size())], SIZE_MAX); break;
                case 7:
                    if (!bytes.empty()) bytes[Below(bytes.size())] = Interesting();
                    break;
                default:
                    if (bytes.size() > 1)
                        std::swap(bytes[Below(bytes.size())], bytes[Below(bytes.size())]);
            }
        }
        if (bytes.size() > maxLength) bytes.resize(maxLength);
        return bytes;
    }
    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : m_Random() % bound; }

private:
    std::uint8_t Byte() { return static_cast<std::uint8_t>(m_Random()); }
    std::uint8_t Interesting() {
        static constexpr std::uint8_t values[] = {0, 1, 0x7F, 0x80, 0xFF, 0xC0, 0xE0, 0xF0, 0xFE};
        return values[Below(std::size(values))];
    }
    void Erase(Bytes& bytes) {
        if (bytes.empty()) return;
        const std::size_t from = Below(bytes.size());
        const std::size_t count = 1 + Below(std::min<std::size_t>(bytes.size() - from, 16));
        bytes.erase(bytes.begin() + from, bytes.begin() + from + count);
    }
    // A run of at most limit bytes of source inserted at a random place of bytes; source may be
    // bytes itself, so the run is copied first.
    void InsertRunOf(Bytes& bytes, const Bytes& source, std::size_t limit) {
        if (source.empty()) return;
        const std::size_t from = Below(source.size());
        const std::size_t count = 1 + Below(std::min(source.size() - from, limit));
        const Bytes run(source.begin() + from, source.begin() + from + count);
        bytes.insert(bytes.begin() + Below(bytes.size() + 1), run.begin(), run.end());
    }

    std::mt19937_64 m_Random;
};

struct Options {
    long long runs = -1;  // -1: no limit; 0: only the corpus, nothing written
    unsigned long long seconds = 0;
    std::size_t maxLength = 4096;
    std::uint64_t seed = 0;
    bool merge = false;
    std::vector<std::string> paths;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto value = [&](const char* flag) -> const char* {
            const std::size_t length = std::strlen(flag);
            return argument.compare(0, length, flag) == 0 ? argument.c_str() + length : nullptr;
        };
        if (const char* v = value("-runs=")) options.runs = std::strtoll(v, nullptr, 10);
        else if (const char* t = value("-max_total_time="))
            options.seconds = std::strtoull(t, nullptr, 10);
        else if (const char* l = value("-max_len="))
            options.maxLength = std::strtoull(l, nullptr, 10);
        else if (const char* s = value("-seed=")) options.seed = std::strtoull(s, nullptr, 10);
        else if (const char* m = value("-merge=")) options.merge = std::string(m) == "1";
        else if (const char* p = value("-artifact_prefix=")) g_ArtifactPrefix = p;
        else if (argument.empty() || argument[0] != '-') options.paths.push_back(argument);
        else std::fprintf(stderr, "INFO: flag %s is not used by this engine\n", argument.c_str());
    }
    return options;
}

int Replay(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        Bytes input;
        if (!ReadWhole(file, input)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        g_CurrentInput = &input;
        LLVMFuzzerTestOneInput(input.data(), input.size());
        g_CurrentInput = nullptr;
    }
    std::fprintf(stderr, "Executed %zu inputs\n", files.size());
    return 0;
}

// Runs every input of the folders, smallest first, keeps those that reached something new and
// gives the number run.
std::size_t ReadCorpus(const std::vector<std::string>& folders, Features& features,
                       std::vector<Bytes>& kept, std::vector<std::string>* newInOut) {
    struct Input {
        Bytes bytes;
        bool inOut;
    };
    std::vector<Input> inputs;
    for (std::size_t f = 0; f < folders.size(); ++f) {
        for (const std::string& file : FilesOf(folders[f])) {
            Input input{{}, f == 0};
            if (ReadWhole(file, input.bytes)) inputs.push_back(std::move(input));
        }
    }
    std::stable_sort(inputs.begin(), inputs.end(), [](const Input& a, const Input& b) {
        return a.inOut != b.inOut ? a.inOut : a.bytes.size() < b.bytes.size();
    });
    for (Input& input : inputs) {
        if (!features.Run(input.bytes) && !kept.empty()) continue;
        if (newInOut && !input.inOut) {
            const std::string path = folders[0] + "\\" + Hex(Fingerprint(input.bytes));
            if (WriteWhole(path, input.bytes)) newInOut->push_back(path);
        }
        kept.push_back(std::move(input.bytes));
    }
    return inputs.size();
}

int Fuzz(const Options& options) {
    Features features;
    std::vector<Bytes> corpus;
    const std::size_t read = ReadCorpus(options.paths, features, corpus, nullptr);
    if (options.runs == 0) {
        std::fprintf(stderr, "Executed the corpus: %zu inputs, %zu of them kept, %zu edges\n", read,
                     corpus.size(), features.Edges());
        return 0;
    }
    if (corpus.empty()) corpus.push_back(Bytes{});
    std::fprintf(stderr, "#0\tINITED cov: %zu ft: %zu corp: %zu\n", features.Edges(),
                 features.Count(), corpus.size());
    Mutator mutator(options.seed != 0 ? options.seed : GetTickCount64());
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    long long run = 0;
    for (long long report = 1; options.runs < 0 || run < options.runs;) {
        const Bytes input =
            mutator.Mutate(corpus[mutator.Below(corpus.size())], corpus, options.maxLength);
        ++run;
        if (features.Run(input)) {
            corpus.push_back(input);
            WriteWhole(options.paths[0] + "\\" + Hex(Fingerprint(input)), input);
            std::fprintf(stderr, "#%lld\tNEW cov: %zu ft: %zu corp: %zu L: %zu\n", run,
                         features.Edges(), features.Count(), corpus.size(), input.size());
        }
        if (run == report) {
            report *= 2;
            std::fprintf(stderr, "#%lld\tpulse cov: %zu ft: %zu corp: %zu exec/s: %.0f\n", run,
                         features.Edges(), features.Count(), corpus.size(),
                         static_cast<double>(run) / elapsed());
            if (options.seconds != 0 && elapsed() >= static_cast<double>(options.seconds)) break;
        }
        if (options.seconds != 0 && run % 4096 == 0 &&
            elapsed() >= static_cast<double>(options.seconds))
            break;
    }
    std::fprintf(stderr, "Done %lld runs in %.0f second(s)\n", run, elapsed());
    std::fprintf(stderr, "stat::number_of_executed_units: %lld\nstat::average_exec_per_sec: %.0f\n",
                 run, static_cast<double>(run) / std::max(elapsed(), 1e-3));
    std::fprintf(stderr, "cov: %zu ft: %zu corp: %zu\n", features.Edges(), features.Count(),
                 corpus.size());
    return 0;
}

}  // namespace

void fuzz::Fail(const char* what) {
    std::fprintf(stderr, "==ERROR: %s\n", what);
    SaveArtifact("crash");
    std::fflush(stderr);
    ExitProcess(1);
}

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(&OnCrash);
    const Options options = ParseOptions(argc, argv);
    if (options.paths.empty()) {
        std::fprintf(stderr, "usage: %s [options] CORPUS [SEEDS...] | FILE...\n", argv[0]);
        return 2;
    }
    if (!IsFolder(options.paths[0])) return Replay(options.paths);
    if (options.merge) {
        Features features;
        std::vector<Bytes> kept;
        std::vector<std::string> added;
        ReadCorpus(options.paths, features, kept, &added);
        std::fprintf(stderr, "MERGE-OUTER: %zu new files added; %zu inputs reach %zu edges\n",
                     added.size(), kept.size(), features.Edges());
        return 0;
    }
    return Fuzz(options);
}
