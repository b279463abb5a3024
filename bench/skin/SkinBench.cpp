// What the first window costs: the skin decompressed, "mainWnd.xml" built and
// its first page painted; and one frame of the progress animation repainted.
#include <benchmark/benchmark.h>

#include "platform/Resources.h"
#include "tools/skin-render/SkinRenderer.h"
#include "ui/framework/SkinArchive.h"

namespace {

std::span<const std::uint8_t> SkinBytes() { return Platform::FindResource(Platform::kResourceTypeSkin, 147); }

// The skin opened once, for the benchmarks that start after the first window.
SkinUI::CSkinResources& OpenedSkin() {
  static SkinUI::CSkinResources resources;
  static const bool opened = resources.SetResourceArchive(SkinBytes());
  (void)opened;
  return resources;
}

void OpenSkin(benchmark::State& state) {
  std::size_t entries = 0;
  for (auto _ : state) {
    auto archive = SkinUI::CSkinArchive::Open(SkinBytes());
    entries = archive ? archive->Entries().size() : 0;
    benchmark::DoNotOptimize(archive);
  }
  state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(OpenSkin)->Unit(benchmark::kMillisecond);

// Open, build and first paint, as the first window does, with cold caches.
void OpenBuildAndPaintFirstPage(benchmark::State& state) {
  for (auto _ : state) {
    SkinUI::CSkinResources resources;
    resources.SetResourceArchive(SkinBytes());
    SkinRender::CSkinRenderer renderer(resources);
    if (!renderer.Build(L"MainWnd.xml")) state.SkipWithError("layout did not build");
    benchmark::DoNotOptimize(renderer.Paint());
  }
}
BENCHMARK(OpenBuildAndPaintFirstPage)->Unit(benchmark::kMillisecond);

void BuildMainWnd(benchmark::State& state) {
  for (auto _ : state) {
    SkinRender::CSkinRenderer renderer(OpenedSkin());
    benchmark::DoNotOptimize(renderer.Build(L"MainWnd.xml"));
  }
}
BENCHMARK(BuildMainWnd)->Unit(benchmark::kMillisecond);

// Repainting the whole first page once its images are decoded.
void RepaintFirstPage(benchmark::State& state) {
  SkinRender::CSkinRenderer renderer(OpenedSkin());
  renderer.Build(L"MainWnd.xml");
  renderer.Paint();
  for (auto _ : state) benchmark::DoNotOptimize(renderer.Paint());
}
BENCHMARK(RepaintFirstPage)->Unit(benchmark::kMillisecond);

// One animation tick: the next frame becomes the background image and only
// the animation's 200x200 rectangle is repainted.
void AnimationFrame(benchmark::State& state) {
  SkinRender::CSkinRenderer renderer(OpenedSkin());
  renderer.Build(L"MainWnd.xml");
  renderer.SelectPage(2);
  cairo_surface_t* surface = renderer.Paint();
  SkinUI::CControlUI* animation = renderer.Manager().FindControl(L"progressAnLb");
  wchar_t name[64];
  int frame = 0;
  std::size_t area = 0;
  for (auto _ : state) {
    swprintf(name, 64, L"res\\mainWnd\\installBtnAnimate\\%.3d.png", frame);
    frame = (frame + 1) % 25;
    animation->SetBkImage(name);
    for (const SkinUI::Rect& rc : renderer.Manager().PaintDirty(surface)) area = rc.Width() * rc.Height();
  }
  state.counters["area_px"] = static_cast<double>(area);
}
BENCHMARK(AnimationFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
