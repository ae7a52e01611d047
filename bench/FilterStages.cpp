// What a filter costs on a whole icon: the same 1024-unit icon exported at 96 x 96 plain, with a
// blurred highlight, with a drop shadow under it, and with both, so the filtered figures read as
// multiples of the plain one.
#include "app/RasterExport.h"
#include "platform/GdiPlusImage.h"
#include "svg/core/SVGDocument.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace plumwick {
namespace {

constexpr std::string_view kShape =
    R"svg(<path d="M512 96 64 480h128v448h256V672h128v256h256V480h128z" fill="#2C7BE5"/>)svg";

std::string Icon(std::string_view Defs, std::string_view ShapeFilter, std::string_view Extra)
{
    std::string S = R"svg(<svg viewBox="0 0 1024 1024" xmlns="http://www.w3.org/2000/svg"><defs>)svg";
    S += Defs;
    S += "</defs><g";
    S += ShapeFilter;
    S += ">";
    S += kShape;
    S += "</g>";
    S += Extra;
    S += "</svg>";
    return S;
}

constexpr std::string_view kBlur = R"svg(<filter id="b"><feGaussianBlur stdDeviation="40"/></filter>)svg";
constexpr std::string_view kShadow =
    R"svg(<filter id="s"><feDropShadow dx="24" dy="32" stdDeviation="30" flood-opacity=".5"/></filter>)svg";
constexpr std::string_view kHighlight =
    R"svg(<ellipse cx="420" cy="420" rx="160" ry="90" fill="#fff" opacity=".6" filter="url(#b)"/>)svg";
constexpr std::string_view kShadowed = R"svg( filter="url(#s)")svg";

const std::string kIcons[] = {
    Icon("", "", ""),
    Icon(kBlur, "", kHighlight),
    Icon(kShadow, kShadowed, ""),
    Icon(std::string(kBlur) + std::string(kShadow), kShadowed, kHighlight),
};
constexpr const char* kNames[] = {"plain", "blurred-highlight", "drop-shadow", "shadow-and-highlight"};

void BM_FilteredIcon(benchmark::State& state)
{
    TSVG Svg;
    Svg.LoadFromText(kIcons[state.range(0)]);
    for (auto _ : state) {
        auto Bitmap = RenderDocument(Svg, 96, 96);
        benchmark::DoNotOptimize(Bitmap.get());
    }
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_FilteredIcon)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plumwick
