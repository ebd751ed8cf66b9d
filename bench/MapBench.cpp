// Timings of the map operations a user waits for, over generated maps of 1,000 to 100,000 elements.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

#include "bench/NullDC.h"
#include "commands/Command.h"
#include "commands/GraphicsFactory.h"
#include "drawing/Outline.h"
#include "drawing/ViewScale.h"
#include "file/MapFile.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/MapView.h"
#include "model/RootMap.h"
#include "support/ErrorReporter.h"
#include "tests/MapGenerator.h"

namespace {

/// A map that is its own view and gathers the repaint requests its elements make, as a
/// window's update region does.
class BenchMap : public RootMap, public MapView {
 public:
  BenchMap() : BehaviouralGraphic("default") { setView(this); }
  RECT pending{};
  bool anyPending = false;

  /// Paints what was asked for since the last call.
  void paintPending(DrawingContext& dc) {
    if (anyPending) drawArea(dc, pending);
    anyPending = false;
  }

  void repaintArea(const RECT& r) override {
    pending = anyPending ? unionRect(pending, r) : r;
    anyPending = true;
  }
  NativeWindow nativeWindow() const override { return nullptr; }
};

/// Reports make no boxes while timing.
class QuietReports : public ReportPlatform, public ErrorHandler {
 public:
  ErrorHandler* findHandler() override { return this; }
  int showReport(int, const char*) override { return 0; }
};

struct Fixture {
  std::unique_ptr<BenchMap> map;
  Node* dragged = nullptr;  // a node with ten maplets attached
  std::string fileText;
};

void setUp() {
  static bool done = false;
  if (done) return;
  done = true;
  static QuietReports reports;
  setReportPlatform(&reports);
  registerStandardPrototypes();
  registerComponentPrototypes();
}

/// The map of `n` generated elements plus a dragged node with its ten maplets, made once per size.
Fixture& fixture(std::size_t n) {
  static std::map<std::size_t, Fixture> made;
  auto [it, fresh] = made.try_emplace(n);
  Fixture& f = it->second;
  if (!fresh) return f;
  setUp();
  f.map = std::make_unique<BenchMap>();
  generateMap(*f.map, n, 1);
  POINT extent = generatedMapExtent(n);
  RECT box{extent.x / 2, extent.y / 2, extent.x / 2 + 90, extent.y / 2 + 30};
  f.dragged = addTo(*f.map.get(), GraphicsFactory::instance().makeNode("Ellipse", "dragged around", &box));
  int k = 0;
  for (Graphic* g : *f.map) {
    auto* other = dynamic_cast<Node*>(g);
    if (!other || other == f.dragged || dynamic_cast<ContextBox*>(g)) continue;
    if (std::abs(other->getRect().left - box.left) > 600 || std::abs(other->getRect().top - box.top) > 400) continue;
    SMaplet* m = addTo(*f.map.get(), GraphicsFactory::instance().makeMaplet("Directed", {0, 0}));
    m->setConnection(0, f.dragged);
    m->setConnection(1, other);
    if (++k == 10) break;
  }
  // One full paint lays every label out, as the first paint of a window does.
  NullDC dc;
  f.map->draw(dc);
  f.map->anyPending = false;
  std::ostringstream out;
  writeMapFile(*f.map, out, 0);
  f.fileText = out.str();
  return f;
}

/// The 1920 × 1080 view in the middle of the map.
RECT viewport(std::size_t n) {
  POINT extent = generatedMapExtent(n);
  std::int32_t x = std::max(0, extent.x / 2 - 960), y = std::max(0, extent.y / 2 - 540);
  return {x, y, x + 1920, y + 1080};
}

void BM_Open(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto map = std::make_unique<RootMap>();
    std::istringstream in(f.fileText);
    state.ResumeTiming();
    bool ok = init(*map, in, "");
    benchmark::DoNotOptimize(ok);
    state.PauseTiming();
    if (!ok || map->memberCount() != f.map->memberCount()) state.SkipWithError("the map did not read back");
    map.reset();
    state.ResumeTiming();
  }
}

void BM_Save(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/brenlo-bench-" + std::to_string(getpid()) + ".CM";
  for (auto _ : state)
    if (!save(*f.map, path)) state.SkipWithError("save failed");
  std::remove(path.c_str());
}

void BM_FullRepaint(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  const RECT view = viewport(state.range(0));
  NullDC dc;
  for (auto _ : state) f.map->drawArea(dc, view);
  state.counters["primitives"] = static_cast<double>(dc.primitives) / static_cast<double>(state.iterations());
}

// The whole map at once, as Fit Map shows it in a 1920 × 1080 window (`zoomed`), or the same
// area at actual size, with every label written and no shape drawn as a dot.
void fullMap(benchmark::State& state, bool zoomed) {
  Fixture& f = fixture(state.range(0));
  const POINT extent = generatedMapExtent(state.range(0));
  const double scale = zoomed ? std::min({1.0, 1920.0 / extent.x, 1080.0 / extent.y}) : 1.0;
  ViewScaleScope zoom(scale);
  NullDC dc;
  for (auto _ : state) f.map->drawArea(dc, RECT{0, 0, extent.x, extent.y});
  state.counters["primitives"] = static_cast<double>(dc.primitives) / static_cast<double>(state.iterations());
  state.counters["zoom_percent"] = scale * 100;
}

void BM_WholeMapZoomedOut(benchmark::State& state) { fullMap(state, true); }
void BM_WholeMapActualSize(benchmark::State& state) { fullMap(state, false); }

void BM_RepaintOneElement(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  const RECT area = f.dragged->invalidRect();
  NullDC dc;
  for (auto _ : state) f.map->drawArea(dc, area);
}

void BM_HitSearch(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  POINT extent = generatedMapExtent(state.range(0));
  std::mt19937 rng(5);
  std::vector<POINT> points(1024);
  for (POINT& p : points)
    p = {static_cast<std::int32_t>(rng() % extent.x), static_cast<std::int32_t>(rng() % extent.y)};
  std::size_t i = 0, hits = 0;
  for (auto _ : state) {
    SensitiveGraphic* g = f.map->findSensitiveAt(points[i++ % points.size()]);
    hits += g != nullptr;
    benchmark::DoNotOptimize(g);
  }
  state.counters["hit%"] = 100.0 * static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void BM_DragStep(benchmark::State& state) {
  Fixture& f = fixture(state.range(0));
  BenchMap& map = *f.map;
  NullDC dc;
  const RECT r = f.dragged->getRect();
  const POINT grip{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  map.leftButtonDown(0, grip);
  map.paintPending(dc);
  std::int32_t step = 0;
  // One step: the pointer moves, the node and its maplets follow, the area they left and took is painted.
  for (auto _ : state) {
    ++step;
    map.mouseMove(0, {grip.x + (step % 2 ? 7 : -7), grip.y + (step % 2 ? 4 : -4)});
    map.paintPending(dc);
  }
  map.mouseMove(0, grip);
  map.paintPending(dc);
  map.setCaptured(nullptr);
  map.mapState().drag.draggedGraphic = nullptr;
}

void BM_EditsUndoRedo(benchmark::State& state) {
  setUp();
  using Clock = std::chrono::steady_clock;
  double edits = 0, undos = 0, redos = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto map = std::make_unique<BenchMap>();
    generateMap(*map, state.range(0), 1);
    RandomEditor editor(*map, 2);
    state.ResumeTiming();
    auto t0 = Clock::now();
    for (int i = 0; i < 10000; ++i) editor.step();
    auto t1 = Clock::now();
    while (map->history().undoCount() > 0) map->history().undo();
    auto t2 = Clock::now();
    while (map->history().canRedo()) map->history().redo();
    auto t3 = Clock::now();
    edits += std::chrono::duration<double>(t1 - t0).count();
    undos += std::chrono::duration<double>(t2 - t1).count();
    redos += std::chrono::duration<double>(t3 - t2).count();
    state.PauseTiming();
    map.reset();
    state.ResumeTiming();
  }
  double n = static_cast<double>(state.iterations());
  state.counters["edits_s"] = edits / n;
  state.counters["undo_s"] = undos / n;
  state.counters["redo_s"] = redos / n;
}

void sizes(benchmark::internal::Benchmark* b) { b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond); }

}  // namespace

BENCHMARK(BM_Open)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Apply(sizes);
BENCHMARK(BM_RepaintOneElement)->Apply(sizes);
BENCHMARK(BM_WholeMapZoomedOut)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeMapActualSize)->Apply(sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HitSearch)->Apply(sizes);
BENCHMARK(BM_DragStep)->Apply(sizes);
BENCHMARK(BM_EditsUndoRedo)->Apply(sizes)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
