// The emulator's face written as a PNG after a change: computing the face
// from the controller's state, drawing it and writing the file, against
// writing a blank picture of the same size the same way (the floor set by
// PNG encoding and the file). The budget is 20 ms a face; x_blank is the
// ratio to the floor.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include <QImage>
#include <QImageWriter>
#include <QFile>

#include "comm/Frames.h"
#include "emulator/face/FaceImage.h"
#include "emulator/face/FaceText.h"
#include "model/PylonConfig.h"

namespace {

using Clock = std::chrono::steady_clock;

double blankMeanMs = 0;

const std::string& File()
{
    static const std::string path = (std::filesystem::temp_directory_path() / "lmq-face-bench.png").string();
    return path;
}

PylonEmulator::State Sample()
{
    PylonConfig m;
    const char* digits[7] = {"000649", "000719", "000659", "000309", "000000", "001500", "004321"};
    for (int L = 0; L < 7; ++L) {
        for (int k = 0; k < 6; ++k) m.Prices[L].Price[k] = uint8_t(digits[L][k] - '0');
        m.Prices[L].Conf.ZerosOff = 1;
    }
    m.Prices[3].Conf.PriceBlinking = 1;
    m.Prices[4].Conf.PriceDash = 1;
    m.Prices[5].Conf.PriceOff = 1;
    PylonEmulator::State s;
    const Frames::PriceBlock block = Frames::MakePriceBlock(m);
    std::copy(block.begin(), block.begin() + 81, s.price.begin());
    return s;
}

template <typename Body>
double Run(benchmark::State& state, Body body)
{
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        body();
        const double t = std::chrono::duration<double>(Clock::now() - t0).count();
        total += t;
        state.SetIterationTime(t);
    }
    return 1000 * total / double(state.iterations());
}

void BM_BlankPng(benchmark::State& state)
{
    blankMeanMs = Run(state, [] {
        QImage blank(face::ImageLayout::Width, face::ImageLayout::Height, QImage::Format_RGB32);
        blank.fill(Qt::black);
        // Written the way the face is: beside the file, then renamed over it.
        const std::string part = File() + ".part";
        QFile file(QString::fromStdString(part));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QImageWriter(&file, "png").write(blank);
        file.close();
        benchmark::DoNotOptimize(std::rename(part.c_str(), File().c_str()));
    });
}

void BM_FacePng(benchmark::State& state)
{
    const PylonEmulator::State s = Sample();
    const double mean = Run(state, [&] { benchmark::DoNotOptimize(face::WriteFacePng(face::ComputeFace(s), File())); });
    state.counters["ms"] = mean;
    state.counters["budget_ms"] = 20;
    if (blankMeanMs > 0) state.counters["x_blank"] = mean / blankMeanMs;
}

void BM_FaceText(benchmark::State& state)
{
    const PylonEmulator::State s = Sample();
    Run(state, [&] { benchmark::DoNotOptimize(face::InPlace(face::FaceRows(face::ComputeFace(s), true))); });
}

}  // namespace

BENCHMARK(BM_BlankPng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_FacePng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_FaceText)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(File());
    return 0;
}
