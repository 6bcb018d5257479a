// The setup window's drawing: a full pass (the window's paint) and a partial pass after one
// change (a drag step), on the multi-channel table with the program's own bitmaps.

#include "platform/drawing_context.h"
#include "setup/bitmap_cache.h"
#include "setup/drawing_context_canvas.h"
#include "setup/param_templates.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

void FullPass(benchmark::State& state) {
    MultiChannelParamStore store;
    QImage image(254, 98, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawingContext dc(image);
        DrawParamControls(&dc, store.Table().records, true, SetupBitmaps());
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(FullPass);

void PartialPassAfterOneChange(benchmark::State& state) {
    MultiChannelParamStore store;
    ParamDesc& level = *FindParamById(store.Table(), kParamSwitchLevel);
    QImage image(254, 98, QImage::Format_RGB32);
    double value = -3;
    for (auto _ : state) {
        value = value < -100 ? -3 : value - 0.1;
        ApplyParamValue(level, value);
        DrawingContext dc(image);
        DrawParamControls(&dc, store.Table().records, false, SetupBitmaps());
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(PartialPassAfterOneChange);

} // namespace

int main(int argc, char** argv) {
    // Drawing contexts select a font, which needs the application object.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
