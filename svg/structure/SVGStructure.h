#pragma once

// Structural and reference elements: g, switch, defs, use and clipPath. None has an outline of
// its own; they group children, keep definitions out of the painted tree, copy what a use
// names into the tree, or collect the outlines that clip other elements.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/GdiPlusPath.h"

#include "svg/core/SVGBasic.h"

namespace plumwick {

// g: reads its attributes, then its children.
class TSVGContainer : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;

private:
    friend class TSVGUse;  // names the group that holds a use element's copy
};

// switch: every child is read; only the first whose conditions hold (systemLanguage,
// requiredExtensions, requiredFeatures) is drawn.
class TSVGSwitch : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;
};

// defs: never displayed, whatever its attributes say; its contents are reached by id only.
class TSVGDefs : public TSVGBasic {
public:
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void ReadIn(const TXmlNode& Node) override;
};

// use: after loading holds one group, translated by (x, y), with a copy of the element that
// "xlink:href" names ("#" + id).
class TSVGUse : public TSVGBasic {
public:
    void AssignTo(TSVGObject& Dest) const override;
    TSVGObject* NewLike(TSVGObject* Parent) const override;
    void Clear() override;
    // The copy paints; the use element itself does not.
    void PaintToGraphics(TGPGraphics&) override {}
    // Adds the outline of the element it names (following use elements that name use elements).
    void PaintToPath(TGPGraphicsPath& Path) override;
    void ReadIn(const TXmlNode& Node) override;

    // Replaces the children by a fresh copy of the named element (looked up among the elements
    // read from the document, not among copies) and resolves the use elements inside that copy;
    // those then skip the next resolution asked of them, which the document's pass over every
    // use would otherwise spend copying them again. A reference that leads back to the element
    // itself or to one of its ancestors (also through other use elements) is left without a copy.
    // Copying more than SVGMaxObjects objects in one resolution, or nesting copies deeper than
    // SVGMaxDepth, raises ESVGError.
    void ResolveReference() override;
    std::string_view CopiedID() const override;
    // The copy paints in the use element's context.
    std::optional<TSVGBasic*> GetContentContext() override { return this; }

    const std::string& GetReference() const { return FReference; }

private:
    // One level: frees the children, copies the named element below a translated group and
    // returns that group (nullptr when nothing is copied). Budget counts the objects still allowed.
    TSVGObject* CopyReferenced(long& Budget);
    // The element FReference names, nullptr for a reference that is not "#" + a non-empty id.
    TSVGObject* FindReferenced() const;

    std::string FReference;  // "xlink:href" as written
    // Resolved as part of the copy of an enclosing use: the document pass, which visits every use
    // of the tree, copies and all, then leaves it as it is once instead of copying it again.
    bool FResolvedWithCopy = false;
};

// clipPath: never painted. Its area is the union of its children's outlines (each with its own
// clip-rule, transform and clip-path), built on first use and shared by every element it clips;
// AreaFor places it in the user space of the element it clips.
class TSVGClipPath : public TSVGBasic {
public:
    ~TSVGClipPath() override;

    TSVGObject* NewLike(TSVGObject* Parent) const override;
    // Also frees the clip outline.
    void Clear() override;
    void PaintToGraphics(TGPGraphics&) override {}
    void PaintToPath(TGPGraphicsPath&) override {}
    void ReadIn(const TXmlNode& Node) override;

    // The clip outline (still owned by this element), built when first asked for: the union of the
    // children's areas in this element's content coordinates, before clipPathUnits and transform.
    TGPGraphicsPath* GetClipPath() override;
    // "clipPathUnits": guUserSpaceOnUse (the default) or guObjectBoundingBox.
    TGradientUnits GetUnits() const { return FUnits; }
    // The area this element leaves visible of Target, in Target's user space: the outline mapped by
    // the units and the own transform, cut by this element's own clip-path. nullopt when the
    // reference leads back into a clip being computed (Visiting): such a link clips nothing.
    std::optional<TGPGraphicsPath> AreaFor(const TSVGBasic& Target, std::vector<const TSVGClipPath*>& Visiting);

private:
    friend class TSVGUse;  // a use inside resolving anew makes the outline stale

    // The union of the children's areas; clip references back into Visiting are left out.
    std::unique_ptr<TGPGraphicsPath> BuildArea(std::vector<const TSVGClipPath*>& Visiting);
    // Forgets the outline; the next GetClipPath builds it again. Referencing elements look it up
    // again before every paint.
    void DropClipPath() { FClipPath.reset(); }

    std::unique_ptr<TGPGraphicsPath> FClipPath;
    TGradientUnits FUnits = guUserSpaceOnUse;
};

// The clip element Element's own clip-path names, nullptr when it names nothing or something else.
TSVGClipPath* ReferencedClip(const TSVGBasic& Element);
// Box of the outlines of Element and its painted descendants in Element's user space; false when it has none.
[[nodiscard]] bool UserSpaceBounds(const TSVGObject& Element, TGPRectF& Box);

}  // namespace plumwick
