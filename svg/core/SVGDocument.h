#pragma once

// TSVG: an SVG document and the root element of its tree. Loads SVG text, owns the style sheet,
// knows the view box and declared size, maps the drawing into an output rectangle and paints it.

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/GdiPlusTypes.h"
#include "svg/base/SVGAspectRatio.h"
#include "svg/base/SVGImageSource.h"
#include "svg/core/SVGBasic.h"
#include "svg/core/SVGFactory.h"

namespace plumwick {

class TGPBitmap;

// A box of BoxWidth x BoxHeight fitted into Rect keeping its aspect ratio and centred (ratio 1 when BoxHeight is 0).
TGPRectF FitCentred(const TGPRectF& Rect, double BoxWidth, double BoxHeight);

class TSVG : public TSVGBasic {
public:
    const TSVG* AsDocument() const override { return this; }
    // An empty document.
    TSVG();
    ~TSVG() override;

    void AssignTo(TSVGObject& Dest) const override;
    // A new document under Parent.
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void Clear() override;
    // Reads the svg element: attributes, size, view box, the whole tree, use references, extent.
    void ReadIn(const TXmlNode& Node) override;

    // Clears, then parses Text. XML errors and content errors propagate (the document is then
    // empty or partly read); a root element other than "svg" gives an empty document.
    void LoadFromText(std::string_view Text);
    // The whole stream as UTF-8 lines joined with CR LF.
    void LoadFromStream(std::istream& Stream);
    // Loads the file; FileName is kept only when loading succeeded. File errors raise ESVGError.
    void LoadFromFile(const std::string& FileName);
    // Writes the loaded text (nothing for an empty document).
    void SaveToStream(std::ostream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

    // Resolves every use element of the tree, in document order.
    void DeReferenceUse();
    // Value of Key in the sheet rule named Name, "" when there is none.
    std::string GetStyleValue(std::string_view Name, std::string_view Key) const;
    // Sets the output rectangle (and the scale onto it) and recomposes every matrix.
    void SetBounds(const TGPRectF& Bounds);
    // Sets the scale; a negative (or not a number) ADY takes ADX. Takes effect at the next SetBounds.
    void Scale(float ADX, float ADY = -1);
    // Paints the document into Bounds on Graphics, whose transform is restored afterwards. With
    // Rects given only elements whose bounds meet one of them paint themselves.
    void PaintTo(TGPGraphics& Graphics, const TGPRectF& Bounds, std::span<const TRect> Rects = {});
    // Paints into the rectangle (aLeft, aTop, aWidth, aHeight) without update rectangles.
    void PaintTo(TGPGraphics& Graphics, float aLeft, float aTop, float aWidth, float aHeight);
    // Appends to Parent a "g" element holding copies of the loaded document's elements, moved to
    // (Left, Top) and scaled from the document's size to Width × Height; returns it. The empty
    // handle when nothing is loaded.
    TXmlNode SaveToNode(const TXmlNode& Parent, float Left, float Top, float Width, float Height) const;
    // A Width × Height ARGB bitmap with the document fitted and centred, on a transparent
    // background; nullptr when a size is 0 or negative (or beyond MaxRenderSide).
    std::unique_ptr<TGPBitmap> RenderToBitmap(int Width, int Height);
    // The same as a Size × Size bitmap for an icon; nullptr for a size of 0 or less.
    std::unique_ptr<TGPBitmap> RenderToIcon(int Size);

    // Reads the rules of a <style> element holding CSS into the sheet, one rule per selector of a list.
    void ReadStyleElement(const TXmlNode& Node);
    // Reads every <style> element below Node into the sheet, in document order, before any element is read.
    void ReadStyleSheets(const TXmlNode& Node);

    // Makes elements named Name with Creator in this document, ahead of the factory table
    // (extensions and tests; nothing process-wide changes).
    void RegisterElement(std::string_view Name, TSVGElementCreator Creator);
    // The creator registered for Name in this document, nullptr when none.
    TSVGElementCreator FindRegisteredElement(std::string_view Name) const;

    // Where image elements may read pictures from; kept across loads (default: any local file).
    void SetImageSources(const TImageSources& Value) { FImageSources = Value; }
    const TImageSources& GetImageSources() const { return FImageSources; }
    // Pictures decoded for this document, shared by all its image elements, within one pixel budget.
    TImageCache& GetImageCache() { return FImageCache; }
    // What the last load left out and went on without (an image reference not allowed, a picture over the
    // budget), one line each.
    const std::vector<std::string>& GetWarnings() const { return FWarnings; }
    void AddWarning(std::string Text);

    // --- Properties.
    const TMatrix& GetInitialMatrix() const { return FInitialMatrix; }
    void SetInitialMatrix(const TMatrix& Value) { FInitialMatrix = Value; }
    // Sets the document's fill and stroke opacity; descendants multiply it in.
    void SetSVGOpacity(float Value);
    const std::string& GetSource() const { return FSource; }
    float GetAngle() const { return FAngle; }
    // Rotation (radians) about the centre of the document's width and height.
    void SetAngle(float Value);
    const TRectF& GetViewBox() const { return FViewBox; }
    void SetViewBox(const TRectF& Value) { FViewBox = Value; }
    bool GetGrayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value) { FGrayscale = Value; }
    TColor GetFixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value) { FFixedColor = Value; }
    TStyleList& GetStyles() const { return *FStyles; }
    const TMatrix& GetRootMatrix() const { return FRootMatrix; }
    const TGPRectF& GetRootBounds() const { return FRootBounds; }
    // Content extent: the largest width and height of any element's bounds.
    const TGPRectF& GetSize() const { return FSize; }
    float GetDX() const { return FDX; }
    float GetDY() const { return FDY; }
    const std::string& GetFileName() const { return FFileName; }
    // Counts the objects made while loading (elements, path segments); past SVGMaxObjects it raises ESVGError,
    // so a huge input fails before its tree takes gigabytes.
    void CountLoadedObjects(long Count);
    // True while ReadIn builds the tree: lookups that painting repeats anyway (clip paths) wait until then.
    bool IsLoading() const { return FLoading; }
    // FindByID on the document: the first object in pre-order with that id (or "#" and that id). Painting looks
    // ids up for every element (clips, paint servers), so an index is kept while the tree stays unchanged.
    TSVGObject* FindIndexedID(std::string_view Name);
    void NoteTreeChange() { ++FTreeGeneration; }
    // A change too deep below some document to tell which: every document's index is then given up.
    static void NoteDeepTreeChange();

private:
    friend class TSVGObject;  // CalculateMatrices runs CalculateRootMatrix

    void ClearDocumentFields();
    void MeasureContent();
    void ResolveOutlineLessStyles();
    void CalculateRootMatrix();

    TAspectRatio FAspect;  // the root's preserveAspectRatio: where the view box sits in the output
    TGPRectF FRootBounds;
    float FDX = 1;
    float FDY = 1;
    TMatrix FInitialMatrix;  // the surface's transform when painting began; m33 = 1 when valid
    std::string FSource;
    float FAngle = 0;
    TMatrix FAngleMatrix;
    TMatrix FRootMatrix;
    TRectF FViewBox;
    std::string FFileName;
    TGPRectF FSize;
    bool FGrayscale = false;
    TColor FFixedColor = SVG_INHERIT_COLOR;  // -1: off
    std::unique_ptr<TStyleList> FStyles;
    long FLoadedObjects = 0;
    bool FLoading = false;
    std::uint64_t FTreeGeneration = 0;                    // counts changes of the tree and of its ids
    std::uint64_t FIndexGeneration = ~std::uint64_t(0);   // the tree the index was built from
    std::uint64_t FLookupGeneration = ~std::uint64_t(0);  // the tree of the last lookup without an index
    std::uint64_t FIndexDeepChanges = 0;                  // NoteDeepTreeChange calls when the index was built
    std::map<std::string, std::pair<std::size_t, TSVGObject*>, std::less<>> FIDIndex;  // id: pre-order, object
    std::vector<std::pair<std::string, TSVGElementCreator>> FRegisteredElements;
    TImageSources FImageSources;
    TImageCache FImageCache;
    std::vector<std::string> FWarnings;
};

}  // namespace plumwick
