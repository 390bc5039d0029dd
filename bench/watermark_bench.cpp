// Cost of blending a watermark into a picture, with and without the
// watermark's own alpha channel.
#include <benchmark/benchmark.h>
#include <wx/image.h>
#include <wx/init.h>

#include "pixel/Watermark.h"

namespace {

void blend(benchmark::State& state, bool withAlpha)
{
    wxInitializer init;
    wxImage picture(4000, 3000, false);
    picture.SetRGB(wxRect(0, 0, 4000, 3000), 120, 130, 140);
    wxImage mark(1000, 1000, false);
    unsigned char* rgb = mark.GetData();
    for (int i = 0; i < 1000 * 1000 * 3; ++i)
        rgb[i] = static_cast<unsigned char>(i * 7);
    if (withAlpha) {
        mark.InitAlpha();
        for (int i = 0; i < 1000 * 1000; ++i)
            mark.GetAlpha()[i] = static_cast<unsigned char>(i * 13);
    }
    const MessageReporter ignore = [](const wxString&, const wxString&) {};
    for (auto _ : state)
        ApplyWatermark(picture, mark, 0.3, 9, ignore);
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}

void BlendConstantAlpha(benchmark::State& state) { blend(state, false); }
void BlendAlphaChannel(benchmark::State& state) { blend(state, true); }

}  // namespace

BENCHMARK(BlendConstantAlpha)->Unit(benchmark::kMillisecond);
BENCHMARK(BlendAlphaChannel)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
