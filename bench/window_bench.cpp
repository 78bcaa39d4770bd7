// A whole standard run through the window, from "START" to the end sound, with the live
// display drawing: compare with BM_StandardExamination of pulmora_bench.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/main_window.h"
#include "toolkit/sounds.h"

namespace {

void BM_WindowStandardRun(benchmark::State& state) {
    pulmora::setSoundSink([](pulmora::SystemSound) {});
    pulmora::TForm1 window(PULMORA_BIN_DIR, {1280, 1024});
    window.show();
    QApplication::processEvents();
    for (auto _ : state) window.Button2Click();
}
BENCHMARK(BM_WindowStandardRun)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
