// The stages of exporting one icon, each on its own, and the whole export: parse (XML and tree build),
// paint into the 96 x 96 target (RenderToBitmap), PNG encode, and all of them together.
#include "platform/GdiPlusGraphics.h"
#include "platform/GdiPlusImage.h"
#include "svg/compositing/SVGRender.h"
#include "svg/core/SVGDocument.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace plumwick {
namespace {

struct TIcon {
    const char* Name;
    std::string_view Text;
};

// Typical shapes of real icon sets: a filled path icon of a 16-unit box, a stroked line icon of a 24-unit
// box, a multi-colour icon with gradients, clips and reuse, a text badge, and the 1024-unit box the icon
// service hands out (plain, and with a radial gradient).
constexpr TIcon
    kIcons[] =
        {
            {"filled-path",
             R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" fill="currentColor" viewBox="0 0 16 16"><path d="M8 16A8 8 0 1 0 8 0a8 8 0 0 0 0 16zm.93-9.412-1 4.705c-.07.34.029.533.304.533.194 0 .487-.07.686-.246l-.088.416c-.287.346-.92.598-1.465.598-.703 0-1.002-.422-.808-1.319l.738-3.468c.064-.293.006-.399-.287-.47l-.451-.081.082-.381 2.29-.287zM8 5.5a1 1 0 1 1 0-2 1 1 0 0 1 0 2z"/></svg>)svg"},
            {"stroked-lines",
             R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24" fill="none" stroke="currentColor" stroke-width="2" stroke-linecap="round" stroke-linejoin="round"><path d="M21 16V8a2 2 0 0 0-1-1.73l-7-4a2 2 0 0 0-2 0l-7 4A2 2 0 0 0 3 8v8a2 2 0 0 0 1 1.73l7 4a2 2 0 0 0 2 0l7-4A2 2 0 0 0 21 16z"/><polyline points="3.27 6.96 12 12.01 20.73 6.96"/><line x1="12" y1="22.08" x2="12" y2="12"/></svg>)svg"},
            {"gradients-clips-use",
             R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" viewBox="0 0 48 48"><defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#8cf"/><stop offset="1" stop-color="#036"/></linearGradient><radialGradient id="r" cx=".4" cy=".4" r=".6"><stop offset="0" stop-color="#fff" stop-opacity=".8"/><stop offset="1" stop-color="#fff" stop-opacity="0"/></radialGradient><clipPath id="c"><circle cx="24" cy="24" r="20"/></clipPath><path id="w" d="M0 30q6-4 12 0t12 0 12 0 12 0v18H0z"/></defs><g clip-path="url(#c)"><rect width="48" height="48" fill="url(#g)"/><use xlink:href="#w" fill="#fff" opacity=".4"/><use xlink:href="#w" y="6" fill="#fff" opacity=".6"/></g><circle cx="24" cy="24" r="20" fill="url(#r)" stroke="#024" stroke-width="2"/></svg>)svg"},
            {"text-badge", R"svg(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32"><rect x="1" y="1" width="30" height="30" rx="6" fill="#c33"/><text x="16" y="22" font-family="DejaVu Sans, sans-serif" font-size="16" font-weight="bold" fill="#fff" text-anchor="middle">A1</text></svg>)svg"},
            {"iconfont-1024",
             R"svg(<svg class="icon" style="width: 1em;height: 1em;vertical-align: middle;fill: currentColor;overflow: hidden;" viewBox="0 0 1024 1024" version="1.1" xmlns="http://www.w3.org/2000/svg"><path d="M512 96 64 480h128v448h256V672h128v256h256V480h128z" fill="#2C7BE5"/></svg>)svg"},
            {"iconfont-1024-radial",
             R"svg(<svg class="icon" viewBox="0 0 1024 1024" version="1.1" xmlns="http://www.w3.org/2000/svg"><defs><radialGradient id="c" gradientUnits="userSpaceOnUse" cx="440" cy="440" r="320"><stop offset="0" stop-color="#FFF3B0"/><stop offset="1" stop-color="#F39C12"/></radialGradient></defs><g stroke="#F39C12" stroke-width="72" stroke-linecap="round"><path d="M512 64v128M512 832v128M64 512h128M832 512h128M195 195l90 90M739 739l90 90M195 829l90-90M739 285l90-90"/></g><circle cx="512" cy="512" r="240" fill="url(#c)"/></svg>)svg"},
};

constexpr int kTarget = 96;

const TIcon& IconOf(const benchmark::State& state)
{
    return kIcons[state.range(0)];
}

void NameArguments(benchmark::internal::Benchmark* bench)
{
    for (std::size_t i = 0; i < std::size(kIcons); ++i) bench->Arg(static_cast<int>(i));
}

void Label(benchmark::State& state)
{
    state.SetLabel(IconOf(state).Name);
    state.SetItemsProcessed(state.iterations());
}

void BM_Parse(benchmark::State& state)
{
    for (auto _ : state) {
        TSVG document;
        document.LoadFromText(IconOf(state).Text);
        benchmark::DoNotOptimize(document.GetViewBox());
    }
    Label(state);
}

void BM_Paint(benchmark::State& state)
{
    TSVG document;
    document.LoadFromText(IconOf(state).Text);
    for (auto _ : state) benchmark::DoNotOptimize(RenderToBitmap(document, kTarget, kTarget));
    Label(state);
}

void BM_EncodePng(benchmark::State& state)
{
    TSVG document;
    document.LoadFromText(IconOf(state).Text);
    const auto target = RenderToBitmap(document, kTarget, kTarget);
    std::vector<std::uint8_t> bytes;
    for (auto _ : state) {
        bytes.clear();
        if (target->SaveToMemory("image/png", bytes) != Ok) {
            state.SkipWithError("cannot encode the icon");
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    Label(state);
}

void BM_WholeIcon(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes;
    for (auto _ : state) {
        TSVG document;
        document.LoadFromText(IconOf(state).Text);
        bytes.clear();
        if (RenderToBitmap(document, kTarget, kTarget)->SaveToMemory("image/png", bytes) != Ok) {
            state.SkipWithError("cannot encode the icon");
            break;
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    Label(state);
}

BENCHMARK(BM_Parse)->Apply(NameArguments);
BENCHMARK(BM_Paint)->Apply(NameArguments);
BENCHMARK(BM_EncodePng)->Apply(NameArguments);
BENCHMARK(BM_WholeIcon)->Apply(NameArguments);

}  // namespace
}  // namespace plumwick
