// PNG encoders weighed on rendered icons at the sizes the program writes: time per image and file size.
#include "app/RasterExport.h"
#include "platform/GdiPlusImage.h"
#include "platform/PngEncoder.h"
#include "svg/core/SVGDocument.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

namespace plumwick {
namespace {

struct TPicture {
    const char* Name;
    std::string_view Svg;
    int Size;
};

// A flat one-colour icon (most of a collection) and a gradient-filled one (the hardest to compress).
constexpr std::string_view kFlat =
    R"svg(<svg viewBox="0 0 1024 1024" xmlns="http://www.w3.org/2000/svg"><path d="M512 96 64 480h128v448h256V672h128v256h256V480h128z" fill="#2C7BE5"/><circle cx="512" cy="300" r="60" fill="#fff"/></svg>)svg";
constexpr std::string_view kGradient =
    R"svg(<svg viewBox="0 0 48 48" xmlns="http://www.w3.org/2000/svg"><defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#8cf"/><stop offset="1" stop-color="#036"/></linearGradient></defs><circle cx="24" cy="24" r="20" fill="url(#g)" stroke="#024" stroke-width="2"/><path d="M8 30q8-5 16 0t16 0" fill="none" stroke="#fff" stroke-opacity=".6" stroke-width="3"/></svg>)svg";

constexpr TPicture kPictures[] = {
    {"flat-96", kFlat, 96},
    {"flat-400", kFlat, 400},
    {"gradient-96", kGradient, 96},
    {"gradient-400", kGradient, 400},
};

struct TCandidate {
    const char* Name;
    TPngEncoding Encoding;
};

constexpr TCandidate kCandidates[] = {
    {"qt-writer (before)", {TPngDeflater::QtWriter, 0, TPngRowFilter::None}},
    {"spng default", {TPngDeflater::Spng, 6, TPngRowFilter::Adaptive}},
    {"spng level 1 up", {TPngDeflater::Spng, 1, TPngRowFilter::Up}},
    {"zlib level 1 up", {TPngDeflater::Zlib, 1, TPngRowFilter::Up}},
    {"zlib level 3 up", {TPngDeflater::Zlib, 3, TPngRowFilter::Up}},
    {"zlib level 6 adaptive", {TPngDeflater::Zlib, 6, TPngRowFilter::Adaptive}},
    {"libdeflate level 1 up", {TPngDeflater::Libdeflate, 1, TPngRowFilter::Up}},
    {"libdeflate level 3 up", {TPngDeflater::Libdeflate, 3, TPngRowFilter::Up}},
    {"libdeflate level 6 up", {TPngDeflater::Libdeflate, 6, TPngRowFilter::Up}},
    {"libdeflate level 6 paeth", {TPngDeflater::Libdeflate, 6, TPngRowFilter::Paeth}},
    {"libdeflate level 6 adaptive", {TPngDeflater::Libdeflate, 6, TPngRowFilter::Adaptive}},
    {"libdeflate level 1 none", {TPngDeflater::Libdeflate, 1, TPngRowFilter::None}},
    {"libdeflate level 3 none", {TPngDeflater::Libdeflate, 3, TPngRowFilter::None}},
    {"libdeflate level 4 none", {TPngDeflater::Libdeflate, 4, TPngRowFilter::None}},
    {"libdeflate level 6 none", {TPngDeflater::Libdeflate, 6, TPngRowFilter::None}},
    {"libdeflate level 9 none", {TPngDeflater::Libdeflate, 9, TPngRowFilter::None}},
    {"zlib level 3 none", {TPngDeflater::Zlib, 3, TPngRowFilter::None}},
    {"default", TPngEncoding{}},
};

void BM_PngEncoder(benchmark::State& state)
{
    const TPicture& picture = kPictures[state.range(0)];
    const TCandidate& candidate = kCandidates[state.range(1)];
    TSVG document;
    document.LoadFromText(picture.Svg);
    std::vector<std::uint8_t> rgba;
    if (!RenderDocument(document, picture.Size, picture.Size)->GetRgbaBytes(rgba)) {
        state.SkipWithError("the picture could not be read back");
        return;
    }
    const TRgbaPixels pixels{picture.Size, picture.Size, static_cast<std::size_t>(picture.Size) * 4, rgba};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string png = EncodePng(pixels, candidate.Encoding);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.SetLabel(std::string(picture.Name) + " " + candidate.Name);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void PictureAndCandidate(benchmark::internal::Benchmark* bench)
{
    for (std::size_t picture = 0; picture < std::size(kPictures); ++picture)
        for (std::size_t candidate = 0; candidate < std::size(kCandidates); ++candidate)
            bench->Args({static_cast<long>(picture), static_cast<long>(candidate)});
}

BENCHMARK(BM_PngEncoder)->Apply(PictureAndCandidate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plumwick
