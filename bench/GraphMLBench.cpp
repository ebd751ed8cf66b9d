// Timings of GraphML export and import of the map bench/gen-graph makes, beside the .CM open and save of the same map.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "commands/GraphicsFactory.h"
#include "file/GraphML.h"
#include "file/MapFile.h"
#include "model/RootMap.h"
#include "support/ErrorReporter.h"

namespace {

/// Reports make no boxes while timing.
class QuietReports : public ReportPlatform, public ErrorHandler {
 public:
  ErrorHandler* findHandler() override { return this; }
  int showReport(int, const char*) override { return 0; }
};

// The map file: BRENLO_BENCH_MAP, else /tmp/g100k.CM (bench/gen-graph 100000 /tmp/g100k.CM /tmp/g100k.dot).
struct Fixture {
  RootMap map;
  std::string mapText;
  std::string graphml;
  bool ready = false;
};

Fixture& fixture() {
  static Fixture f;
  static bool tried = false;
  if (tried) return f;
  tried = true;
  static QuietReports reports;
  setReportPlatform(&reports);
  registerStandardPrototypes();
  registerComponentPrototypes();
  const char* given = std::getenv("BRENLO_BENCH_MAP");
  const std::string file = given ? given : "/tmp/g100k.CM";
  std::ifstream in(file, std::ios::binary);
  f.mapText.assign(std::istreambuf_iterator<char>(in), {});
  std::istringstream text(f.mapText);
  if (f.mapText.empty() || !init(f.map, text, file)) return f;
  std::ostringstream out;
  std::string error;
  f.ready = writeGraphML(f.map, out, error);
  f.graphml = out.str();
  return f;
}

bool skipWithoutMap(benchmark::State& state) {
  if (fixture().ready) return false;
  state.SkipWithError("no map: run bench/gen-graph 100000 /tmp/g100k.CM /tmp/g100k.dot (or set BRENLO_BENCH_MAP)");
  return true;
}

void BM_ExportGraphML(benchmark::State& state) {
  if (skipWithoutMap(state)) return;
  for (auto _ : state) {
    std::ostringstream out;
    std::string error;
    benchmark::DoNotOptimize(writeGraphML(fixture().map, out, error));
  }
  state.counters["bytes"] = static_cast<double>(fixture().graphml.size());
}

void BM_ImportGraphML(benchmark::State& state) {
  if (skipWithoutMap(state)) return;
  std::size_t elements = 0;
  for (auto _ : state) {
    // Into a new map, as a window opens a file; taking the map apart is not timed.
    auto map = std::make_unique<RootMap>();
    std::string error;
    benchmark::DoNotOptimize(readGraphML(*map, fixture().graphml, "bench.graphml", error));
    state.PauseTiming();
    elements = map->memberCount();
    map.reset();
    state.ResumeTiming();
  }
  state.counters["elements"] = static_cast<double>(elements);
}

void BM_OpenCM(benchmark::State& state) {
  if (skipWithoutMap(state)) return;
  for (auto _ : state) {
    auto map = std::make_unique<RootMap>();
    std::istringstream in(fixture().mapText);
    benchmark::DoNotOptimize(init(*map, in, "bench.CM"));
    state.PauseTiming();
    map.reset();
    state.ResumeTiming();
  }
}

void BM_SaveCM(benchmark::State& state) {
  if (skipWithoutMap(state)) return;
  for (auto _ : state) {
    std::ostringstream out;
    writeMapFile(fixture().map, out, 0);
    benchmark::DoNotOptimize(out.tellp());
  }
}

}  // namespace

BENCHMARK(BM_ExportGraphML)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGraphML)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCM)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCM)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
