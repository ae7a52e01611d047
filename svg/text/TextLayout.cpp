#include "svg/text/TextLayout.h"

#include <algorithm>
#include <limits>
#include <numbers>

#include "svg/text/TextGuide.h"

namespace plumwick {

namespace {

bool Given(float V)
{
    return !std::isnan(V);
}

// p ↦ Second(First(p)).
TOutlineTransform Then(const TOutlineTransform& First, const TOutlineTransform& Second)
{
    TOutlineTransform r;
    r.A = First.A * Second.A + First.B * Second.C;
    r.B = First.A * Second.B + First.B * Second.D;
    r.C = First.C * Second.A + First.D * Second.C;
    r.D = First.C * Second.B + First.D * Second.D;
    r.E = First.E * Second.A + First.F * Second.C + Second.E;
    r.F = First.E * Second.B + First.F * Second.D + Second.F;
    return r;
}

TOutlineTransform Translation(float X, float Y)
{
    return {1, 0, 0, 1, X, Y};
}

TOutlineTransform Rotation(float Degrees)
{
    const float r = Degrees * std::numbers::pi_v<float> / 180;
    const float c = std::cos(r);
    const float s = std::sin(r);
    return {c, s, -s, c, 0, 0};
}

struct TGlyphItem {
    std::uint32_t Face = 0;
    std::uint32_t Glyph = 0;
    float X = 0;  // within the cluster, user units, y down
    float Y = 0;
};

// One typographic character (a shaping cluster) and where it goes.
struct TCluster {
    std::size_t Char = 0;
    std::size_t CharEnd = 0;
    std::size_t Span = 0;
    std::vector<TGlyphItem> Glyphs;
    float Advance = 0;
    float HorizontalAdvance = 0;
    float Trailing = 0;    // letter spacing after the character, not part of a chunk's extent
    float Spacing = 0;     // letter and word spacing within Advance (not the glyph's own room)
    bool Upright = false;  // upright in vertical text
    float X = 0;
    float Y = 0;
    float Angle = 0;
    float ScaleX = 1;
    bool Hidden = false;
    bool OnGuide = false;
    TOutlineTransform Placement;  // cluster space (x along the line, y down) to user space
};

struct TChunk {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::vector<TCluster> Clusters;  // visual order
    int Guide = -1;
    bool Vertical = false;
    float PenX = 0;  // the pen where the chunk starts (for a guide, where it was left off the guide)
    float PenY = 0;
};

std::size_t SpanAt(const TTextInput& In, std::size_t Char)
{
    auto it = std::upper_bound(In.Spans.begin(), In.Spans.end(), Char,
                               [](std::size_t C, const TTextSpan& S) { return C < S.Begin; });
    return it == In.Spans.begin() ? 0 : static_cast<std::size_t>(it - In.Spans.begin() - 1);
}

bool ShapeAlike(const TTextStyle& A, const TTextStyle& B)
{
    return A.Fonts == B.Fonts && A.Size == B.Size && A.LetterSpacing == B.LetterSpacing &&
           A.Features.Kerning == B.Features.Kerning && A.Features.Ligatures == B.Features.Ligatures &&
           A.Features.SmallCaps == B.Features.SmallCaps && A.Features.Extra == B.Features.Extra;
}

// Shapes one chunk: bidi runs, one shaping item per span and level, items in visual order.
void ShapeChunk(const TTextInput& In, TChunk& Chunk)
{
    const TTextStyle& first = In.Spans[SpanAt(In, Chunk.Begin)].Style;
    Chunk.Vertical = first.Vertical;
    const std::u32string_view text(In.Text);
    const std::vector<std::uint8_t> levels =
        BidiLevels(text.substr(Chunk.Begin, Chunk.End - Chunk.Begin), first.RightToLeft);
    struct TItem {
        std::size_t Begin, End, Span;
        std::uint8_t Level;
        std::vector<TCluster> Clusters;
    };
    std::vector<TItem> items;
    for (std::size_t i = Chunk.Begin; i < Chunk.End;) {
        const std::size_t span = SpanAt(In, i);
        const std::uint8_t level = levels[i - Chunk.Begin];
        std::size_t j = i + 1;
        // Spans that shape alike are shaped together, so kerning and joining cross their borders.
        while (j < Chunk.End && levels[j - Chunk.Begin] == level &&
               (j < In.Spans[span].End || ShapeAlike(In.Spans[span].Style, In.Spans[SpanAt(In, j)].Style)))
            ++j;
        items.push_back({i, j, span, level, {}});
        i = j;
    }
    for (TItem& item : items) {
        const TTextStyle& style = In.Spans[item.Span].Style;
        TShapeFeatures features = style.Features;
        if (style.LetterSpacing != 0) features.Ligatures = false;  // spaced letters are not joined into ligatures
        // Vertical text takes the font's vertical forms (punctuation, brackets) for its upright glyphs.
        if (Chunk.Vertical) features.Extra.insert(features.Extra.begin(), {"vert", 1});
        const bool rtl = (item.Level & 1) != 0;
        // The chunk is all the context its letters see: joins and ligatures end where text is
        // placed anew.
        std::vector<TShapedGlyph> glyphs =
            style.Fonts->Shape(text.substr(Chunk.Begin, Chunk.End - Chunk.Begin), item.Begin - Chunk.Begin,
                               item.End - Chunk.Begin, rtl, false, features);
        for (TShapedGlyph& g : glyphs) g.Cluster += static_cast<std::uint32_t>(Chunk.Begin);
        // Cluster boundaries in logical order.
        std::vector<std::uint32_t> starts;
        for (const TShapedGlyph& g : glyphs) starts.push_back(g.Cluster);
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        auto clusterEnd = [&](std::uint32_t C) {
            auto it = std::upper_bound(starts.begin(), starts.end(), C);
            return it == starts.end() ? item.End : static_cast<std::size_t>(*it);
        };
        for (std::size_t g = 0; g < glyphs.size();) {
            TCluster c;
            c.Char = glyphs[g].Cluster;
            c.CharEnd = clusterEnd(glyphs[g].Cluster);
            c.Span = SpanAt(In, c.Char);
            float pen = 0;
            for (; g < glyphs.size() && glyphs[g].Cluster == c.Char; ++g) {
                const TShapedGlyph& s = glyphs[g];
                c.Glyphs.push_back({s.Face, s.Glyph, pen + s.XOffset * style.Size, -s.YOffset * style.Size});
                pen += s.XAdvance * style.Size;
            }
            c.HorizontalAdvance = pen;
            c.Advance = pen;
            if (Chunk.Vertical && c.Char < text.size() && IsUprightInVertical(text[c.Char]) && !c.Glyphs.empty()) {
                c.Upright = true;
                c.Advance = style.Fonts->GlyphAdvance(c.Glyphs.front().Face, c.Glyphs.front().Glyph, true) * style.Size;
                if (!(c.Advance > 0)) c.Advance = style.Size;
            }
            const TTextStyle& own = In.Spans[c.Span].Style;
            // Joined letters stay joined: cursive scripts take no letter spacing.
            const bool cursive = c.Char < text.size() && IsCursiveScript(text[c.Char]);
            c.Spacing = cursive ? 0 : own.LetterSpacing;
            c.Advance += c.Spacing;
            c.Trailing = c.Spacing;
            if (c.Char < text.size() && (text[c.Char] == U' ' || text[c.Char] == 0xA0)) {
                c.Advance += own.WordSpacing;
                c.Spacing += own.WordSpacing;
            }
            item.Clusters.push_back(std::move(c));
        }
    }
    // Reorder the items: from the highest level down to the lowest odd one, reverse every run of
    // items at that level or above.
    std::uint8_t highest = 0;
    std::uint8_t lowestOdd = 255;
    for (const TItem& item : items) {
        highest = std::max(highest, item.Level);
        if (item.Level & 1) lowestOdd = std::min(lowestOdd, item.Level);
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (std::size_t i = 0; i < items.size();) {
            if (items[i].Level < level) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < items.size() && items[j].Level >= level) ++j;
            std::reverse(items.begin() + static_cast<std::ptrdiff_t>(i),
                         items.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
        }
    for (TItem& item : items)
        for (TCluster& c : item.Clusters) Chunk.Clusters.push_back(std::move(c));
}

// Extent of a chunk along its line: from the first cluster's start to the furthest end.
std::pair<float, float> Extent(const std::vector<TCluster*>& Clusters, bool Vertical)
{
    float lo = std::numeric_limits<float>::max();
    float hi = std::numeric_limits<float>::lowest();
    for (const TCluster* c : Clusters) {
        const float at = Vertical ? c->Y : c->X;
        lo = std::min(lo, at);
        hi = std::max(hi, at + c->Advance);
    }
    return Clusters.empty() ? std::make_pair(0.0f, 0.0f) : std::make_pair(lo, hi);
}

float AnchorShare(TTextAnchor Anchor, bool RightToLeft)
{
    switch (Anchor) {
        case TTextAnchor::Middle:
            return 0.5f;
        case TTextAnchor::End:
            return RightToLeft ? 0 : 1;
        default:
            return RightToLeft ? 1 : 0;
    }
}

void AppendRectangle(std::vector<TOutlinePoint>& Out, const TOutlineTransform& M, float X0, float Y0, float X1,
                     float Y1)
{
    const float xs[4] = {X0, X1, X1, X0};
    const float ys[4] = {Y0, Y0, Y1, Y1};
    for (int i = 0; i < 4; ++i)
        Out.push_back({xs[i] * M.A + ys[i] * M.C + M.E, xs[i] * M.B + ys[i] * M.D + M.F,
                       static_cast<std::uint8_t>(i == 0   ? OutlinePointStart
                                                 : i == 3 ? (OutlinePointLine | OutlinePointClose)
                                                          : OutlinePointLine)});
}

// The input without the dropped characters (and without invalid guides), every range shrunk to
// the characters it keeps.
TTextInput WithoutDropped(const TTextInput& In, const std::vector<bool>& Drop)
{
    const std::size_t n = In.Text.size();
    std::vector<std::size_t> map(n + 1, 0);
    TTextInput out;
    for (std::size_t i = 0; i < n; ++i) {
        map[i] = out.Text.size();
        if (!Drop[i]) out.Text += In.Text[i];
    }
    map[n] = out.Text.size();
    auto mapped = [&map, n](std::size_t I) { return map[std::min(I, n)]; };
    for (const TTextSpan& span : In.Spans) {
        TTextSpan s = span;
        s.Begin = mapped(span.Begin);
        s.End = mapped(span.End);
        if (s.End > s.Begin) out.Spans.push_back(std::move(s));
    }
    auto filter = [&](const std::vector<float>& From, std::vector<float>& To) {
        for (std::size_t i = 0; i < From.size() && i < n; ++i)
            if (!Drop[i]) To.push_back(From[i]);
    };
    filter(In.X, out.X);
    filter(In.Y, out.Y);
    filter(In.DX, out.DX);
    filter(In.DY, out.DY);
    filter(In.Rotate, out.Rotate);
    for (TTextLength l : In.Lengths) {
        l.Begin = mapped(l.Begin);
        l.End = mapped(l.End);
        if (l.End > l.Begin) out.Lengths.push_back(l);
    }
    for (TTextDecorationInput d : In.Decorations) {
        d.Begin = mapped(d.Begin);
        d.End = mapped(d.End);
        if (d.End > d.Begin) out.Decorations.push_back(std::move(d));
    }
    for (const TTextGuide& g : In.Guides)
        if (g.Valid) {
            TTextGuide kept = g;
            kept.Begin = mapped(g.Begin);
            kept.End = mapped(g.End);
            out.Guides.push_back(std::move(kept));
        }
    return out;
}

}  // namespace

TTextOutput LayoutTextContent(const TTextInput& In, int OwnerCount)
{
    TTextOutput out;
    out.Owners.resize(static_cast<std::size_t>(std::max(OwnerCount, 0)));
    const std::size_t n = In.Text.size();
    if (n == 0 || In.Spans.empty()) return out;
    // Characters that are not drawn leave the text before anything is shaped or placed.
    std::vector<bool> drop(n, false);
    bool dropping = false;
    for (std::size_t i = 0; i < n && i < In.Dropped.size(); ++i) dropping |= drop[i] = In.Dropped[i];
    for (const TTextGuide& g : In.Guides)
        if (!g.Valid)
            for (std::size_t i = g.Begin; i < g.End && i < n; ++i) dropping = drop[i] = true;
    if (dropping) return LayoutTextContent(WithoutDropped(In, drop), OwnerCount);
    auto at = [](const std::vector<float>& V, std::size_t I) {
        return I < V.size() ? V[I] : std::numeric_limits<float>::quiet_NaN();
    };

    // Chunks start at absolute positions and at the ends of guides.
    std::vector<bool> starts(n + 1, false);
    starts[0] = true;
    starts[n] = true;
    for (std::size_t i = 0; i < n; ++i)
        if (Given(at(In.X, i)) || Given(at(In.Y, i))) starts[i] = true;
    for (const TTextGuide& g : In.Guides) {
        starts[std::min(g.Begin, n)] = true;
        starts[std::min(g.End, n)] = true;
    }
    std::vector<TChunk> chunks;
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (!starts[j]) ++j;
        TChunk chunk;
        chunk.Begin = i;
        chunk.End = j;
        for (std::size_t g = 0; g < In.Guides.size(); ++g)
            if (In.Guides[g].Begin <= i && i < In.Guides[g].End) chunk.Guide = static_cast<int>(g);
        chunks.push_back(std::move(chunk));
        i = j;
    }
    for (TChunk& chunk : chunks) ShapeChunk(In, chunk);

    // Positions: each chunk from its absolute x and y (or where the text stands), dx and dy moving
    // the pen, rotate turning single glyphs.
    float penX = 0;
    float penY = 0;
    float lastAngle = 0;
    for (TChunk& chunk : chunks) {
        const float savedX = penX;
        const float savedY = penY;
        chunk.PenX = penX;
        chunk.PenY = penY;
        if (chunk.Guide >= 0) {
            penX = 0;  // distance along the guide
            penY = 0;  // distance off it
        }
        if (Given(at(In.X, chunk.Begin))) penX = at(In.X, chunk.Begin);
        if (Given(at(In.Y, chunk.Begin)) && chunk.Guide < 0) penY = at(In.Y, chunk.Begin);
        for (TCluster& c : chunk.Clusters) {
            if (Given(at(In.DX, c.Char))) penX += at(In.DX, c.Char);
            if (Given(at(In.DY, c.Char))) penY += at(In.DY, c.Char);
            c.X = penX;
            c.Y = penY;
            const float angle = at(In.Rotate, c.Char);
            c.Angle = Given(angle) ? angle : 0;
            lastAngle = c.Angle;
            (chunk.Vertical ? penY : penX) += c.Advance;
        }
        if (chunk.Guide >= 0) {
            penX = savedX;
            penY = savedY;
        }
    }
    (void)lastAngle;

    // textLength: stretch the spacing (or the glyphs too) of an element's characters, and move
    // what follows in the same chunk.
    for (const TTextLength& length : In.Lengths) {
        if (!(length.Length > 0)) continue;
        for (TChunk& chunk : chunks) {
            std::vector<TCluster*> inside;
            std::size_t lastIndex = 0;
            for (std::size_t k = 0; k < chunk.Clusters.size(); ++k)
                if (chunk.Clusters[k].Char >= length.Begin && chunk.Clusters[k].Char < length.End) {
                    inside.push_back(&chunk.Clusters[k]);
                    lastIndex = k;
                }
            if (inside.empty()) continue;
            const auto [lo, hi] = Extent(inside, chunk.Vertical);
            const float extent = hi - lo;
            const float delta = length.Length - extent;
            if (length.Glyphs && extent > 0) {
                const float scale = length.Length / extent;
                for (TCluster* c : inside) {
                    float& pos = chunk.Vertical ? c->Y : c->X;
                    pos = lo + (pos - lo) * scale;
                    c->ScaleX *= scale;
                    c->Advance *= scale;
                }
            } else {
                // The extra room is shared between the gaps after each character but the last.
                const float step = inside.size() > 1 ? delta / static_cast<float>(inside.size() - 1) : 0;
                for (std::size_t k = 0; k < inside.size(); ++k)
                    (chunk.Vertical ? inside[k]->Y : inside[k]->X) += step * static_cast<float>(k);
            }
            for (std::size_t k = lastIndex + 1; k < chunk.Clusters.size(); ++k)
                (chunk.Vertical ? chunk.Clusters[k].Y : chunk.Clusters[k].X) += delta;
        }
    }

    // Anchoring per chunk, then the placement of every cluster. Text after a guide goes on where
    // the guide's last glyph ended, unless it is placed itself.
    bool afterGuide = false;
    float resumeX = 0;
    float resumeY = 0;
    for (TChunk& chunk : chunks) {
        if (chunk.Clusters.empty()) continue;
        if (chunk.Guide < 0 && afterGuide) {
            const bool ownX = Given(at(In.X, chunk.Begin));
            const bool ownY = Given(at(In.Y, chunk.Begin));
            if (ownX || ownY) afterGuide = false;
            for (TCluster& c : chunk.Clusters) {
                if (!ownX) c.X += resumeX;
                if (!ownY) c.Y += resumeY;
            }
        }
        std::vector<TCluster*> all;
        for (TCluster& c : chunk.Clusters) all.push_back(&c);
        const TTextStyle& style = In.Spans[SpanAt(In, chunk.Begin)].Style;
        auto [lo, hi] = Extent(all, chunk.Vertical);
        hi -= chunk.Clusters.back().Trailing;  // the spacing after the last letter leads nowhere
        const float share = AnchorShare(style.Anchor, style.RightToLeft && !chunk.Vertical);
        const float start = chunk.Vertical ? chunk.Clusters.front().Y : chunk.Clusters.front().X;
        // The chunk's anchor point is where its first character was put.
        const float shift = start - lo - share * (hi - lo);
        if (chunk.Guide >= 0) {
            const TTextGuide& guideIn = In.Guides[static_cast<std::size_t>(chunk.Guide)];
            const TTextGuidePath guide(guideIn.Points);
            bool placed = false;
            float lastCos = 1;
            float lastSin = 0;
            float beyond = 0;  // advances of the characters past the last placed one
            for (TCluster& c : chunk.Clusters) {
                const float along = c.X + shift + guideIn.StartOffset;
                // The glyph turns about the middle of its own advance; spacing only moves the next.
                const float glyph = c.Advance - c.Spacing * c.ScaleX;
                const float mid = along + glyph / 2;
                c.OnGuide = true;
                TGuidePoint p;
                if (!guide.PointAt(mid, p)) {
                    c.Hidden = true;
                    beyond += c.Advance;
                    continue;
                }
                beyond = 0;
                const float cs = std::cos(p.Angle);
                const float sn = std::sin(p.Angle);
                // Start of the glyph half an advance back along the tangent, off the guide by y.
                const float ox = p.X - cs * glyph / 2 - sn * c.Y;
                const float oy = p.Y - sn * glyph / 2 + cs * c.Y;
                c.Placement = Then(Rotation(c.Angle + p.Angle * 180 / std::numbers::pi_v<float>), Translation(ox, oy));
                out.EndX = p.X + cs * (c.Advance - glyph / 2);
                out.EndY = p.Y + sn * (c.Advance - glyph / 2);
                lastCos = cs;
                lastSin = sn;
                placed = true;
            }
            if (placed) {
                // Characters that ran off the end still move the pen, straight on.
                out.EndX += lastCos * beyond;
                out.EndY += lastSin * beyond;
                afterGuide = true;
                resumeX = out.EndX - chunk.PenX;
                resumeY = out.EndY - chunk.PenY;
            }
            continue;
        }
        for (TCluster& c : chunk.Clusters) {
            (chunk.Vertical ? c.Y : c.X) += shift;
            c.Placement = Then(Rotation(c.Angle), Translation(c.X, c.Y));
        }
        const TCluster& last = chunk.Clusters.back();
        out.EndX = chunk.Vertical ? last.X : last.X + last.Advance;
        out.EndY = chunk.Vertical ? last.Y + last.Advance : last.Y;
    }

    // Glyph outlines.
    for (const TChunk& chunk : chunks)
        for (const TCluster& c : chunk.Clusters) {
            if (c.Hidden) continue;
            const TTextSpan& span = In.Spans[c.Span];
            const TTextStyle& style = span.Style;
            if (span.Owner < 0 || static_cast<std::size_t>(span.Owner) >= out.Owners.size()) continue;
            TTextOutput::TOwner& owner = out.Owners[static_cast<std::size_t>(span.Owner)];
            if (!owner.Placed && !c.OnGuide) {
                owner.Placed = true;
                owner.X = c.X;
                owner.Y = c.Y;
            }
            owner.Advance += c.Advance;
            if (!c.OnGuide) owner.End = std::max(owner.End, (chunk.Vertical ? c.Y : c.X) + c.Advance);
            // Cluster space: vertical text turns sideways glyphs a quarter and centres upright ones.
            TOutlineTransform local = Translation(0, style.BaselineOffset);
            if (chunk.Vertical) {
                const TFaceMetrics& m = style.Fonts->Metrics(c.Glyphs.empty() ? 0 : c.Glyphs.front().Face);
                if (c.Upright)
                    local = Translation(
                        -c.HorizontalAdvance / 2,
                        style.Fonts->VerticalOrigin(c.Glyphs.front().Face, c.Glyphs.front().Glyph) * style.Size);
                else
                    local = Then(Translation(0, (m.Ascent - m.Descent) / 2 * style.Size), Rotation(90));
            }
            local = Then(local, c.Placement);
            {
                const TFaceMetrics& m = style.Fonts->Metrics(0);
                const TOutlineTransform cell =
                    chunk.Vertical ? local : Then(Translation(0, style.BaselineOffset), c.Placement);
                const float x1 = chunk.Vertical && c.Upright ? c.HorizontalAdvance : c.Advance;
                const float y0 = -m.Ascent * style.Size;
                const float y1 = m.Descent * style.Size;
                const float xs[4] = {0, x1, x1, 0};
                const float ys[4] = {y0, y0, y1, y1};
                for (int k = 0; k < 4; ++k) {
                    const float px = xs[k] * cell.A + ys[k] * cell.C + cell.E;
                    const float py = xs[k] * cell.B + ys[k] * cell.D + cell.F;
                    if (!owner.HasCells) {
                        owner.HasCells = true;
                        owner.CellLeft = owner.CellRight = px;
                        owner.CellTop = owner.CellBottom = py;
                    }
                    owner.CellLeft = std::min(owner.CellLeft, px);
                    owner.CellRight = std::max(owner.CellRight, px);
                    owner.CellTop = std::min(owner.CellTop, py);
                    owner.CellBottom = std::max(owner.CellBottom, py);
                }
            }
            std::vector<TOutlinePoint>& target = owner.Glyphs;
            for (const TGlyphItem& g : c.Glyphs) {
                // Font units (y up) to the glyph's place; a missing italic is slanted.
                const float skew = style.Italic && style.Fonts->NeedsSyntheticItalic(g.Face) ? 0.2f : 0;
                TOutlineTransform m{style.Size * c.ScaleX, 0,  skew * style.Size * c.ScaleX, -style.Size,
                                    g.X * c.ScaleX,        g.Y};
                // A glyph without an outline (a space) adds nothing, which is all false says.
                (void)style.Fonts->AppendOutline(g.Face, g.Glyph, Then(m, local), target);
            }
        }

    // Decorations: one rectangle per run of clusters on one straight line, in the decorating
    // element's font metrics.
    for (const TTextDecorationInput& d : In.Decorations) {
        if (d.Owner < 0 || static_cast<std::size_t>(d.Owner) >= out.Owners.size() || !d.Fonts) continue;
        TTextOutput::TOwner& owner = out.Owners[static_cast<std::size_t>(d.Owner)];
        const TFaceMetrics& m = d.Fonts->Metrics(0);
        struct TLine {
            std::uint8_t Bit;
            std::vector<TOutlinePoint>* Target;
            float Top;
            float Height;
        };
        // Each line is centred on the font's position for it, as browsers draw them.
        const float under = m.UnderlineThickness * d.Size;
        const float through = m.StrikeoutThickness * d.Size;
        const TLine lines[3] = {
            {TextLineUnder, &owner.Underline, m.UnderlinePosition * d.Size - under / 2, under},
            {TextLineOver, &owner.Overline, -m.Ascent * d.Size - under / 2, under},
            {TextLineThrough, &owner.LineThrough, -m.StrikeoutPosition * d.Size - through / 2, through},
        };
        for (const TChunk& chunk : chunks) {
            // Runs of neighbouring clusters that lie on one straight line join into one rectangle.
            const TCluster* runStart = nullptr;
            float runEnd = 0;
            auto flush = [&](const TCluster* Start, float End) {
                if (Start == nullptr) return;
                const float offset = In.Spans[Start->Span].Style.BaselineOffset;
                for (const TLine& line : lines)
                    if (d.Lines & line.Bit)
                        AppendRectangle(*line.Target, Start->Placement, 0, line.Top + offset, End,
                                        line.Top + offset + line.Height);
            };
            for (const TCluster& c : chunk.Clusters) {
                const bool inside = c.Char >= d.Begin && c.Char < d.End && !c.Hidden && !chunk.Vertical;
                const bool joins = runStart != nullptr && inside && !c.OnGuide && c.Angle == 0 &&
                                   runStart->Angle == 0 && c.Y == runStart->Y &&
                                   std::abs(c.X - (runStart->X + runEnd)) < 0.01f && c.ScaleX == runStart->ScaleX;
                if (joins) {
                    runEnd += c.Advance;
                    continue;
                }
                flush(runStart, runEnd);
                runStart = inside ? &c : nullptr;
                runEnd = inside ? c.Advance : 0;
            }
            flush(runStart, runEnd);
        }
    }
    return out;
}

}  // namespace plumwick
