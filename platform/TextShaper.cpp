#include "platform/TextShaper.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>

#include "platform/CHandle.h"

namespace plumwick {

namespace {

// RAII owners of the library objects.
using TPattern = TCHandle<FcPattern, FcPatternDestroy>;
using TFcFontSet = TCHandle<FcFontSet, FcFontSetDestroy>;
using TCharSet = TCHandle<FcCharSet, FcCharSetDestroy>;
using TBlob = TCHandle<hb_blob_t, hb_blob_destroy>;
using THbFace = TCHandle<hb_face_t, hb_face_destroy>;
using THbFont = TCHandle<hb_font_t, hb_font_destroy>;
using TBuffer = TCHandle<hb_buffer_t, hb_buffer_destroy>;

std::mutex GFontMutex;  // fontconfig's configuration and the caches below

std::string Lower(std::string_view Text)
{
    std::string out(Text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsGeneric(std::string_view Name)
{
    const std::string n = Lower(Name);
    return n == "serif" || n == "sans-serif" || n == "monospace" || n == "cursive" || n == "fantasy" ||
           n == "system-ui";
}

// One font file's face, shared by every set that uses it.
struct TFaceFile {
    THbFace Face;
    unsigned Upem = 1000;
};

std::shared_ptr<TFaceFile> OpenFaceFile(const std::string& File, int Index)
{
    static std::map<std::pair<std::string, int>, std::shared_ptr<TFaceFile>> cache;
    const auto key = std::make_pair(File, Index);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    TBlob blob(hb_blob_create_from_file(File.c_str()));
    auto file = std::make_shared<TFaceFile>();
    file->Face.reset(hb_face_create(blob.get(), static_cast<unsigned>(Index & 0xFFFF)));
    file->Upem = std::max(1u, hb_face_get_upem(file->Face.get()));
    hb_face_make_immutable(file->Face.get());
    if (cache.size() > 256) cache.clear();  // bounded; sets keep their own references
    cache.emplace(key, file);
    return file;
}

float MetricOr(hb_font_t* Font, hb_ot_metrics_tag_t Tag, float Upem, float Fallback)
{
    hb_position_t value = 0;
    if (hb_ot_metrics_get_position(Font, Tag, &value) && value != 0) return static_cast<float>(value) / Upem;
    return Fallback;
}

TFaceMetrics ReadMetrics(hb_font_t* Font, float Upem)
{
    TFaceMetrics m;
    hb_font_extents_t extents{};
    if (hb_font_get_h_extents(Font, &extents) && extents.ascender > 0) {
        m.Ascent = static_cast<float>(extents.ascender) / Upem;
        m.Descent = static_cast<float>(-extents.descender) / Upem;
    }
    m.XHeight = MetricOr(Font, HB_OT_METRICS_TAG_X_HEIGHT, Upem, m.Ascent * 0.55f);
    m.CapHeight = MetricOr(Font, HB_OT_METRICS_TAG_CAP_HEIGHT, Upem, m.Ascent * 0.9f);
    m.UnderlineThickness = MetricOr(Font, HB_OT_METRICS_TAG_UNDERLINE_SIZE, Upem, 0.05f);
    // The font gives the top edge of each line (the underline's negative: below the baseline).
    m.UnderlinePosition = -MetricOr(Font, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, Upem, -0.1f);
    m.StrikeoutThickness = MetricOr(Font, HB_OT_METRICS_TAG_STRIKEOUT_SIZE, Upem, m.UnderlineThickness);
    m.StrikeoutPosition =
        MetricOr(Font, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, Upem, m.XHeight / 2 + m.StrikeoutThickness / 2);
    m.Subscript = MetricOr(Font, HB_OT_METRICS_TAG_SUBSCRIPT_EM_Y_OFFSET, Upem, m.Subscript);
    m.Superscript = MetricOr(Font, HB_OT_METRICS_TAG_SUPERSCRIPT_EM_Y_OFFSET, Upem, m.Superscript);
    m.Hanging = m.Ascent * 0.8f;
    m.Ideographic = -m.Descent;
    hb_position_t base = 0;
    const hb_tag_t script = HB_TAG('l', 'a', 't', 'n');
    if (hb_ot_layout_get_baseline(Font, HB_OT_LAYOUT_BASELINE_TAG_HANGING, HB_DIRECTION_LTR, script, HB_TAG_NONE,
                                  &base))
        m.Hanging = static_cast<float>(base) / Upem;
    if (hb_ot_layout_get_baseline(Font, HB_OT_LAYOUT_BASELINE_TAG_IDEO_EMBOX_BOTTOM_OR_LEFT, HB_DIRECTION_LTR, script,
                                  HB_TAG_NONE, &base))
        m.Ideographic = static_cast<float>(base) / Upem;
    return m;
}

// Outline drawing into our point list, with the caller's transform.
struct TDrawTarget {
    std::vector<TOutlinePoint>* Points;
    const TOutlineTransform* M;
    float Scale;  // 1 / upem
    std::size_t FigureStart = 0;
    bool Open = false;

    void Add(float X, float Y, std::uint8_t Type)
    {
        const float x = X * Scale;
        const float y = Y * Scale;
        Points->push_back({x * M->A + y * M->C + M->E, x * M->B + y * M->D + M->F, Type});
    }
    void Close()
    {
        if (Open && Points->size() > FigureStart) Points->back().Type |= OutlinePointClose;
        Open = false;
    }
};

void MoveTo(hb_draw_funcs_t*, void* Data, hb_draw_state_t*, float X, float Y, void*)
{
    auto* t = static_cast<TDrawTarget*>(Data);
    t->Close();
    t->FigureStart = t->Points->size();
    t->Add(X, Y, OutlinePointStart);
    t->Open = true;
}

void LineTo(hb_draw_funcs_t*, void* Data, hb_draw_state_t*, float X, float Y, void*)
{
    static_cast<TDrawTarget*>(Data)->Add(X, Y, OutlinePointLine);
}

void CubicTo(hb_draw_funcs_t*, void* Data, hb_draw_state_t*, float X1, float Y1, float X2, float Y2, float X, float Y,
             void*)
{
    auto* t = static_cast<TDrawTarget*>(Data);
    t->Add(X1, Y1, OutlinePointBezier);
    t->Add(X2, Y2, OutlinePointBezier);
    t->Add(X, Y, OutlinePointBezier);
}

void QuadraticTo(hb_draw_funcs_t* Funcs, void* Data, hb_draw_state_t* State, float CX, float CY, float X, float Y,
                 void* User)
{
    // A quadratic is the cubic with controls two thirds of the way to its control point.
    const float x0 = State->current_x;
    const float y0 = State->current_y;
    CubicTo(Funcs, Data, State, x0 + 2 * (CX - x0) / 3, y0 + 2 * (CY - y0) / 3, X + 2 * (CX - X) / 3,
            Y + 2 * (CY - Y) / 3, X, Y, User);
}

void ClosePath(hb_draw_funcs_t*, void* Data, hb_draw_state_t*, void*)
{
    static_cast<TDrawTarget*>(Data)->Close();
}

hb_draw_funcs_t* DrawFuncs()
{
    static hb_draw_funcs_t* funcs = [] {
        hb_draw_funcs_t* f = hb_draw_funcs_create();
        hb_draw_funcs_set_move_to_func(f, MoveTo, nullptr, nullptr);
        hb_draw_funcs_set_line_to_func(f, LineTo, nullptr, nullptr);
        hb_draw_funcs_set_quadratic_to_func(f, QuadraticTo, nullptr, nullptr);
        hb_draw_funcs_set_cubic_to_func(f, CubicTo, nullptr, nullptr);
        hb_draw_funcs_set_close_path_func(f, ClosePath, nullptr, nullptr);
        hb_draw_funcs_make_immutable(f);
        return f;
    }();
    return funcs;
}

bool IsClusterContinuation(char32_t C)
{
    if (C == 0x200D || (C >= 0xFE00 && C <= 0xFE0F) || (C >= 0xE0100 && C <= 0xE01EF) || (C >= 0x1F3FB && C <= 0x1F3FF))
        return true;
    const hb_unicode_general_category_t cat = hb_unicode_general_category(hb_unicode_funcs_get_default(), C);
    return cat == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK || cat == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           cat == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

}  // namespace

std::string TFontRequest::Key() const
{
    std::string key;
    for (const std::string& f : Families) key += Lower(f) + ',';
    key += '|' + std::to_string(Weight) + '|' + std::to_string(Slant) + '|' + std::to_string(Stretch);
    for (const auto& [tag, value] : Variations) key += '|' + tag + '=' + std::to_string(value);
    if (OpticalSize > 0) key += "|opsz=" + std::to_string(OpticalSize);
    return key;
}

struct TFontSet::Impl {
    // One candidate face of fontconfig's sorted list.
    struct TCandidate {
        std::string File;
        int Index = 0;
        std::string Family;
        int Weight = FC_WEIGHT_REGULAR;
        int Slant = FC_SLANT_ROMAN;
        TCharSet Chars;
        bool Variable = false;
        bool Slanted = false;      // leans by its slant axis
        bool OpticalSize = false;  // has an optical size axis
        // Opened on first use.
        std::shared_ptr<TFaceFile> FaceFile;
        THbFont Font;
        TFaceMetrics Metrics;
    };
    TFontRequest Request;
    std::vector<TCandidate> Candidates;
    bool PrimaryRequested = false;
    mutable std::mutex Mutex;  // opening candidates

    hb_font_t* FontOf(std::uint32_t Index) const
    {
        auto& c = const_cast<TCandidate&>(Candidates[Index]);
        if (c.Font) return c.Font.get();
        std::lock_guard<std::mutex> files(GFontMutex);
        c.FaceFile = OpenFaceFile(c.File, c.Index);
        hb_font_t* font = hb_font_create(c.FaceFile->Face.get());
        const int upem = static_cast<int>(c.FaceFile->Upem);
        hb_font_set_scale(font, upem, upem);
        std::vector<hb_variation_t> variations;
        // fontconfig lists the named instances of a variable font as faces of their own; the
        // requested axes apply to them too.
        if (hb_ot_var_has_data(c.FaceFile->Face.get())) c.Variable = true;
        if (c.Variable) {
            // The named instance fontconfig chose (index bits above 16), then the requested axes.
            if ((c.Index >> 16) > 0) hb_font_set_var_named_instance(font, static_cast<unsigned>((c.Index >> 16) - 1));
            variations.push_back({HB_TAG('w', 'g', 'h', 't'), static_cast<float>(Request.Weight)});
            variations.push_back({HB_TAG('w', 'd', 't', 'h'), static_cast<float>(Request.Stretch)});
            // An oblique style leans a face that has a slant axis (CSS's default of 14 degrees,
            // clamped to the axis by the font) instead of being slanted synthetically.
            if (Request.Slant == 2) variations.push_back({HB_TAG('s', 'l', 'n', 't'), -14.0f});
            if (Request.OpticalSize > 0) variations.push_back({HB_TAG('o', 'p', 's', 'z'), Request.OpticalSize});
            for (const auto& [tag, value] : Request.Variations)
                variations.push_back({hb_tag_from_string(tag.c_str(), static_cast<int>(tag.size())), value});
            hb_font_set_variations(font, variations.data(), static_cast<unsigned>(variations.size()));
        }
        c.Slanted = c.Variable && Request.Slant == 2 && HasAxis(c, HB_TAG('s', 'l', 'n', 't'));
        c.OpticalSize = c.Variable && HasAxis(c, HB_TAG('o', 'p', 's', 'z'));
        hb_font_make_immutable(font);
        c.Metrics = ReadMetrics(font, static_cast<float>(upem));
        c.Font.reset(font);
        return font;
    }

    static bool HasAxis(const TCandidate& C, hb_tag_t Tag)
    {
        hb_ot_var_axis_info_t info{};
        return hb_ot_var_find_axis_info(C.FaceFile->Face.get(), Tag, &info) != 0;
    }

    bool Covers(std::uint32_t Index, char32_t C) const
    {
        const TCandidate& c = Candidates[Index];
        return c.Chars && FcCharSetHasChar(c.Chars.get(), static_cast<FcChar32>(C));
    }

    // The face for one character: the first candidate that has it; the first face when none does.
    std::uint32_t FaceFor(char32_t C) const
    {
        for (std::uint32_t i = 0; i < Candidates.size(); ++i)
            if (Covers(i, C)) return i;
        return 0;
    }
};

int ChooseFontWeight(int Desired, std::span<const int> Weights)
{
    auto nearestUp = [&](int From, int To) {
        int best = -1;
        for (int w : Weights)
            if (w >= From && w <= To && (best < 0 || w < best)) best = w;
        return best;
    };
    auto nearestDown = [&](int From) {
        int best = -1;
        for (int w : Weights)
            if (w <= From && w > best) best = w;
        return best;
    };
    int chosen = -1;
    if (Desired >= 400 && Desired <= 500) {
        chosen = nearestUp(Desired, 500);
        if (chosen < 0) chosen = nearestDown(Desired);
        if (chosen < 0) chosen = nearestUp(Desired, 10000);
    } else if (Desired < 400) {
        chosen = nearestDown(Desired);
        if (chosen < 0) chosen = nearestUp(Desired, 10000);
    } else {
        chosen = nearestUp(Desired, 10000);
        if (chosen < 0) chosen = nearestDown(Desired);
    }
    return chosen;
}

namespace {

// The face of Family with Slant and the weight CSS would choose for Weight; null when the family
// lists none. Called with the fontconfig lock held.
FcPattern* FamilyFaceForWeight(const std::string& Family, int Slant, int Weight)
{
    TPattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_SLANT, Slant);
    TCHandle<FcObjectSet, FcObjectSetDestroy> objects(
        FcObjectSetBuild(FC_WEIGHT, FC_FILE, FC_INDEX, FC_VARIABLE, nullptr));
    TFcFontSet faces(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!faces || faces->nfont == 0) return nullptr;
    std::vector<int> weights;
    for (int i = 0; i < faces->nfont; ++i) {
        int w = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(faces->fonts[i], FC_WEIGHT, 0, &w);
        weights.push_back(FcWeightToOpenType(w));
    }
    const int chosen = ChooseFontWeight(Weight, weights);
    for (int i = 0; i < faces->nfont; ++i)
        if (weights[static_cast<std::size_t>(i)] == chosen) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(faces->fonts[i], FC_FILE, 0, &file) != FcResultMatch) return nullptr;
            // The listed face carries no character set: match it by its file to get one.
            TPattern byFile(FcPatternCreate());
            FcPatternAddString(byFile.get(), FC_FILE, file);
            int index = 0;
            FcPatternGetInteger(faces->fonts[i], FC_INDEX, 0, &index);
            FcPatternAddInteger(byFile.get(), FC_INDEX, index);
            TFcFontSet full(FcFontList(nullptr, byFile.get(), nullptr));
            if (!full || full->nfont == 0) return nullptr;
            FcPatternReference(full->fonts[0]);
            return full->fonts[0];
        }
    return nullptr;
}

}  // namespace

TFontSet::TFontSet(std::unique_ptr<Impl> Data) : FImpl(std::move(Data)) {}
TFontSet::~TFontSet() = default;

std::shared_ptr<const TFontSet> TFontSet::Find(const TFontRequest& Request)
{
    static std::map<std::string, std::shared_ptr<const TFontSet>> cache;
    const std::string key = Request.Key();
    {
        std::lock_guard<std::mutex> lock(GFontMutex);
        if (auto it = cache.find(key); it != cache.end()) return it->second;
    }
    auto data = std::make_unique<Impl>();
    data->Request = Request;
    {
        std::lock_guard<std::mutex> lock(GFontMutex);
        TPattern pattern(FcPatternCreate());
        for (const std::string& family : Request.Families) {
            const std::string name = Lower(family) == "system-ui" ? std::string("sans-serif") : family;
            FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
        }
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(std::clamp(Request.Weight, 1, 1000)));
        FcPatternAddInteger(pattern.get(), FC_SLANT,
                            Request.Slant == 1   ? FC_SLANT_ITALIC
                            : Request.Slant == 2 ? FC_SLANT_OBLIQUE
                                                 : FC_SLANT_ROMAN);
        FcPatternAddInteger(pattern.get(), FC_WIDTH, std::clamp(Request.Stretch, 50, 200));
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        // The best match first (the sorted list may rank families otherwise), then the fallbacks.
        TPattern best(FcFontMatch(nullptr, pattern.get(), &result));
        TFcFontSet sorted(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
        std::vector<FcPattern*> order;
        // fontconfig takes the nearest weight; among the faces of the family found, CSS's rule
        // chooses (200 takes a thin face before a light one).
        TPattern weighted;
        if (best) {
            FcChar8* family = nullptr;
            int slant = FC_SLANT_ROMAN;
            FcBool variable = FcFalse;
            FcPatternGetBool(best.get(), FC_VARIABLE, 0, &variable);
            FcPatternGetInteger(best.get(), FC_SLANT, 0, &slant);
            if (variable != FcTrue && FcPatternGetString(best.get(), FC_FAMILY, 0, &family) == FcResultMatch)
                weighted.reset(FamilyFaceForWeight(reinterpret_cast<const char*>(family), slant,
                                                   std::clamp(Request.Weight, 1, 1000)));
        }
        if (weighted) order.push_back(weighted.get());
        if (best) order.push_back(best.get());
        for (int i = 0; sorted && i < sorted->nfont; ++i) order.push_back(sorted->fonts[i]);
        for (FcPattern* font : order) {
            if (data->Candidates.size() >= 64) break;
            FcChar8* file = nullptr;
            if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
            Impl::TCandidate c;
            c.File = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(font, FC_INDEX, 0, &c.Index);
            if (std::any_of(data->Candidates.begin(), data->Candidates.end(), [&c](const Impl::TCandidate& Other) {
                    return Other.File == c.File && Other.Index == c.Index;
                }))
                continue;
            FcChar8* family = nullptr;
            if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
                c.Family = reinterpret_cast<const char*>(family);
            FcPatternGetInteger(font, FC_WEIGHT, 0, &c.Weight);
            FcPatternGetInteger(font, FC_SLANT, 0, &c.Slant);
            FcBool variable = FcFalse;
            FcPatternGetBool(font, FC_VARIABLE, 0, &variable);
            c.Variable = variable == FcTrue;
            FcCharSet* chars = nullptr;
            if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch) c.Chars.reset(FcCharSetCopy(chars));
            // Bitmap-only faces (colour emoji strikes) have no outlines to draw.
            FcBool outline = FcTrue;
            FcPatternGetBool(font, FC_OUTLINE, 0, &outline);
            if (outline != FcTrue) continue;
            data->Candidates.push_back(std::move(c));
        }
        if (!data->Candidates.empty()) {
            // fontconfig answers with its default family when none of the names is installed.
            const std::string primary = Lower(data->Candidates.front().Family);
            for (const std::string& family : Request.Families)
                if (Lower(family) == primary || IsGeneric(family)) data->PrimaryRequested = true;
        }
    }
    std::shared_ptr<const TFontSet> set(new TFontSet(std::move(data)));
    if (!set->FImpl->Candidates.empty()) set->FImpl->FontOf(0);
    std::lock_guard<std::mutex> lock(GFontMutex);
    if (cache.size() > 128) cache.clear();  // bounded: documents may ask for any number of fonts
    cache.emplace(key, set);
    return set;
}

std::string TFontSet::PrimaryFamily() const
{
    return FImpl->Candidates.empty() ? std::string() : FImpl->Candidates.front().Family;
}

bool TFontSet::PrimaryIsRequested() const
{
    return FImpl->PrimaryRequested;
}

const TFaceMetrics& TFontSet::Metrics(std::uint32_t Face) const
{
    static const TFaceMetrics none;
    if (Face >= FImpl->Candidates.size()) return none;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);
    FImpl->FontOf(Face);
    return FImpl->Candidates[Face].Metrics;
}

bool TFontSet::HasOpticalSize() const
{
    if (FImpl->Candidates.empty()) return false;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);
    FImpl->FontOf(0);
    return FImpl->Candidates.front().OpticalSize;
}

bool TFontSet::NeedsSyntheticBold(std::uint32_t Face) const
{
    if (Face >= FImpl->Candidates.size() || FImpl->Candidates[Face].Variable) return false;
    return FImpl->Request.Weight >= 600 && FImpl->Candidates[Face].Weight < FC_WEIGHT_DEMIBOLD;
}

bool TFontSet::NeedsSyntheticItalic(std::uint32_t Face) const
{
    if (Face >= FImpl->Candidates.size()) return false;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);
    FImpl->FontOf(Face);
    const Impl::TCandidate& c = FImpl->Candidates[Face];
    return FImpl->Request.Slant != 0 && c.Slant == FC_SLANT_ROMAN && !c.Slanted;
}

std::vector<TShapedGlyph> TFontSet::Shape(std::u32string_view Text, std::size_t Begin, std::size_t End,
                                          bool RightToLeft, bool Vertical, const TShapeFeatures& Features) const
{
    std::vector<TShapedGlyph> out;
    End = std::min(End, Text.size());
    if (Begin >= End || FImpl->Candidates.empty()) return out;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);

    // The face of each character; marks, joiners and selectors stay with the face of their base.
    std::vector<std::uint32_t> faces(End - Begin);
    for (std::size_t i = Begin; i < End; ++i) {
        std::uint32_t face = FImpl->FaceFor(Text[i]);
        if (i > Begin && IsClusterContinuation(Text[i]) && FImpl->Covers(faces[i - 1 - Begin], Text[i]))
            face = faces[i - 1 - Begin];
        else if (i > Begin && IsClusterContinuation(Text[i]) && face == 0 && !FImpl->Covers(0, Text[i]))
            face = faces[i - 1 - Begin];
        faces[i - Begin] = face;
    }

    std::vector<hb_feature_t> features;
    auto feature = [&features](const char* Tag, std::uint32_t Value) {
        features.push_back({hb_tag_from_string(Tag, -1), Value, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END});
    };
    if (!Features.Kerning) feature(Vertical ? "vkrn" : "kern", 0);
    if (!Features.Ligatures) {
        feature("liga", 0);
        feature("clig", 0);
    }
    if (Features.SmallCaps) feature("smcp", 1);
    for (const auto& [tag, value] : Features.Extra)
        features.push_back({hb_tag_from_string(tag.c_str(), static_cast<int>(tag.size())), value,
                            HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END});

    // Runs of one face, shaped one by one with the rest of the text as context.
    std::vector<std::vector<TShapedGlyph>> runs;
    for (std::size_t start = Begin; start < End;) {
        std::size_t stop = start + 1;
        while (stop < End && faces[stop - Begin] == faces[start - Begin]) ++stop;
        const std::uint32_t face = faces[start - Begin];
        hb_font_t* font = FImpl->FontOf(face);
        const float upem = static_cast<float>(FImpl->Candidates[face].FaceFile->Upem);
        TBuffer buffer(hb_buffer_create());
        hb_buffer_add_utf32(buffer.get(), reinterpret_cast<const std::uint32_t*>(Text.data()),
                            static_cast<int>(Text.size()), static_cast<unsigned>(start),
                            static_cast<int>(stop - start));
        hb_buffer_set_direction(buffer.get(), Vertical      ? HB_DIRECTION_TTB
                                              : RightToLeft ? HB_DIRECTION_RTL
                                                            : HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(buffer.get());
        hb_shape(font, buffer.get(), features.data(), static_cast<unsigned>(features.size()));
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer.get(), &count);
        std::vector<TShapedGlyph>& run = runs.emplace_back();
        run.reserve(count);
        for (unsigned g = 0; g < count; ++g)
            run.push_back({face, info[g].codepoint, info[g].cluster, pos[g].x_advance / upem, pos[g].y_advance / upem,
                           pos[g].x_offset / upem, pos[g].y_offset / upem});
        start = stop;
    }
    if (RightToLeft && !Vertical) std::reverse(runs.begin(), runs.end());
    for (auto& run : runs) out.insert(out.end(), run.begin(), run.end());
    return out;
}

bool TFontSet::AppendOutline(std::uint32_t Face, std::uint32_t Glyph, const TOutlineTransform& M,
                             std::vector<TOutlinePoint>& Points) const
{
    if (Face >= FImpl->Candidates.size()) return false;
    hb_font_t* font = nullptr;
    float upem = 1000;
    {
        std::lock_guard<std::mutex> lock(FImpl->Mutex);
        font = FImpl->FontOf(Face);
        upem = static_cast<float>(FImpl->Candidates[Face].FaceFile->Upem);
    }
    const std::size_t before = Points.size();
    TDrawTarget target{&Points, &M, 1 / upem};
    hb_font_get_glyph_shape(font, Glyph, DrawFuncs(), &target);
    target.Close();
    return Points.size() > before;
}

float TFontSet::GlyphAdvance(std::uint32_t Face, std::uint32_t Glyph, bool Vertical) const
{
    if (Face >= FImpl->Candidates.size()) return 0;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);
    hb_font_t* font = FImpl->FontOf(Face);
    const float upem = static_cast<float>(FImpl->Candidates[Face].FaceFile->Upem);
    return Vertical ? -hb_font_get_glyph_v_advance(font, Glyph) / upem
                    : hb_font_get_glyph_h_advance(font, Glyph) / upem;
}

float TFontSet::VerticalOrigin(std::uint32_t Face, std::uint32_t Glyph) const
{
    if (Face >= FImpl->Candidates.size()) return 0;
    std::lock_guard<std::mutex> lock(FImpl->Mutex);
    hb_font_t* font = FImpl->FontOf(Face);
    const Impl::TCandidate& c = FImpl->Candidates[Face];
    const float upem = static_cast<float>(c.FaceFile->Upem);
    const TBlob origins(hb_face_reference_table(c.FaceFile->Face.get(), HB_TAG('V', 'O', 'R', 'G')));
    hb_position_t x = 0;
    hb_position_t y = 0;
    if (hb_blob_get_length(origins.get()) > 0 && hb_font_get_glyph_v_origin(font, Glyph, &x, &y))
        return static_cast<float>(y) / upem;
    // Without origins of its own, the ascent-to-descent box is centred in the vertical advance.
    const float advance = -static_cast<float>(hb_font_get_glyph_v_advance(font, Glyph)) / upem;
    return (c.Metrics.Ascent - c.Metrics.Descent + advance) / 2;
}

bool IsCursiveScript(char32_t C)
{
    switch (hb_unicode_script(hb_unicode_funcs_get_default(), C)) {
        case HB_SCRIPT_ARABIC:
        case HB_SCRIPT_SYRIAC:
        case HB_SCRIPT_NKO:
        case HB_SCRIPT_MONGOLIAN:
        case HB_SCRIPT_PHAGS_PA:
        case HB_SCRIPT_MANDAIC:
        case HB_SCRIPT_MANICHAEAN:
        case HB_SCRIPT_PSALTER_PAHLAVI:
        case HB_SCRIPT_HANIFI_ROHINGYA:
        case HB_SCRIPT_SOGDIAN:
        case HB_SCRIPT_OLD_UYGHUR:
        case HB_SCRIPT_ADLAM:
            return true;
        default:
            return false;
    }
}

}  // namespace plumwick
