#pragma once

// Base of every SVG element object: a tree node owning its children, its own declarations and
// class list (TSVGObject), and the level that carries the element's transform and the two
// matrices composed along its ancestors (TSVGMatrix).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "platform/Xml.h"
#include "svg/base/SVGTypes.h"
#include "svg/style/SVGStyle.h"

namespace plumwick {

class TGPGraphics;
class TGPGraphicsPath;
class TGPBrush;
class TSVG;
class TSVGBasic;

// Deepest element nesting a document may be read with; deeper content raises ESVGError. The tree
// walks themselves (matrices, painting, lookups, copying, destruction) do not recurse.
inline constexpr int SVGMaxDepth = 1024;
// Most objects a document may hold once its use references are resolved (copies of copies can
// multiply); beyond it loading raises ESVGError.
inline constexpr long SVGMaxObjects = 250000;

class TSVGObject {
public:
    // Empty object without parent (the state Clear gives).
    TSVGObject();
    // Frees the subtree and takes the object out of its parent's list.
    virtual ~TSVGObject();
    TSVGObject(const TSVGObject&) = delete;
    TSVGObject& operator=(const TSVGObject&) = delete;

    // --- Virtual operations, in the order of their slots.

    // Copies this level's fields into Dest (never the children).
    virtual void AssignTo(TSVGObject& Dest) const;
    // Copies Source's fields into this object through Source.AssignTo.
    void Assign(const TSVGObject& Source) { Source.AssignTo(*this); }
    // An empty object of the same class. With Parent it is appended to Parent, which owns it;
    // without, the caller owns it. May give nullptr for classes that are never copied.
    virtual TSVGObject* NewLike(TSVGObject* Parent) const = 0;
    // Sets FBounds from the element's geometry; nothing here.
    virtual void UpdateBounds();
    // Frees the children and empties the fields; the composed matrices stay.
    virtual void Clear();
    virtual void PaintToGraphics(TGPGraphics& Graphics) = 0;
    virtual void PaintToPath(TGPGraphicsPath& Path) = 0;
    // Reads id, display, visibility, every attribute into FStyle, the inline style, the class
    // list and the element name.
    virtual void ReadIn(const TXmlNode& Node);
    // The object as a TSVGBasic or as the document, else nullptr: the walks up the tree that every property
    // read makes take these instead of a dynamic_cast each step.
    virtual const TSVGBasic* AsBasic() const { return nullptr; }
    virtual const TSVG* AsDocument() const { return nullptr; }

    // --- Children.

    // Appends Item and makes this object its owner and parent (it leaves a former parent first).
    // Returns the new index.
    int Add(std::unique_ptr<TSVGObject> Item);
    // Takes the child at Index out of the list; the caller owns it. Null for other indices.
    std::unique_ptr<TSVGObject> Delete(int Index);
    // Takes the first occurrence of Item out of the list and returns its former index, -1 when
    // absent. The caller then owns Item.
    int Remove(TSVGObject* Item);
    int IndexOf(const TSVGObject* Item) const;
    int GetCount() const { return static_cast<int>(FItems.size()); }
    // The child at Index, nullptr outside 0..Count-1.
    TSVGObject* GetItem(int Index) const;
    // Replaces the child at Index by Item (which gets this parent) and hands back the replaced
    // child. Outside 0..Count-1 nothing changes and Item itself is handed back.
    std::unique_ptr<TSVGObject> SetItem(int Index, std::unique_ptr<TSVGObject> Item);

    // Creates a T as the last child of Parent, which owns it; with Parent null the caller owns it.
    template <class T>
    static T* CreateIn(TSVGObject* Parent)
    {
        auto Item = std::make_unique<T>();
        if (!Parent) return Item.release();
        T* Result = Item.get();
        Parent->Add(std::move(Item));
        return Result;
    }

    // --- Lookups and copies.

    // Pre-order from this object: the first whose id is Name or "#" + id.
    TSVGObject* FindByID(std::string_view Name);
    // Pre-order from this object: the first object of exactly the class Typ visited after
    // Previous (Previous null: any). Repeated calls with the last result visit all matches.
    TSVGObject* FindByType(const std::type_info& Typ, const TSVGObject* Previous = nullptr);
    template <class T>
    T* FindByType(const TSVGObject* Previous = nullptr)
    {
        return static_cast<T*>(FindByType(typeid(T), Previous));
    }
    // A copy of the whole subtree under Parent (owned by Parent; by the caller when Parent is
    // null). Nullptr when the class makes no copies.
    TSVGObject* Clone(TSVGObject* Parent) const;
    // The nearest document, starting with this object and going up; nullptr when none.
    TSVG* GetRoot() const;
    // Composes matrices and updates bounds over the subtree, pre-order.
    void CalculateMatrices();

    // --- Properties.

    // Resolved display code: the first code other than -1 going up, 1 past the top.
    int GetDisplay() const;
    void SetDisplay(int Value) { FDisplay = Value; }
    // Resolved visibility code, likewise.
    int GetVisible() const;
    void SetVisible(int Value) { FVisible = Value; }
    const TBounds& GetObjectBounds() const { return FBounds; }
    TSVGObject* GetParent() const { return FParent; }
    TStyle& GetStyle() const { return *FStyle; }
    const std::string& GetID() const { return FID; }
    const std::string& GetObjectName() const { return FObjectName; }
    const std::vector<std::string>& GetClasses() const { return FClasses; }
    // The own codes as read, -1 meaning inherit.
    int GetDisplayCode() const { return FDisplay; }
    int GetVisibleCode() const { return FVisible; }

protected:
    // Frees every child without recursing into the subtree.
    void FreeChildren();
    // Tells the document holding this object that its tree or an id in it changed.
    void TreeChanged();

    std::vector<std::unique_ptr<TSVGObject>> FItems;  // children in document order; owned
    int FVisible = 1;                                 // -1 inherit, 0 hidden, 1 visible
    int FDisplay = 1;                                 // -1 inherit, 0 none, 1 displayed
    TBounds FBounds;
    TSVGObject* FParent = nullptr;   // back reference; not owned
    std::unique_ptr<TStyle> FStyle;  // the element's attributes and inline declarations
    std::string FID;
    bool FIsDocument = false;  // set by TSVG: TreeChanged tests it at every step up without a virtual call
    std::string FObjectName;
    std::vector<std::string> FClasses;
};

class TSVGMatrix : public TSVGObject {
public:
    void AssignTo(TSVGObject& Dest) const override;
    void Clear() override;
    // Also reads "transform" into FPureMatrix.
    void ReadIn(const TXmlNode& Node) override;

    // Paint servers supply a brush for painting DestObject with the given alpha; every other
    // element gives none. The caller owns the brush.
    virtual std::unique_ptr<TGPBrush> GetBrush(std::uint8_t Alpha, TSVGBasic* DestObject);

    // Maps the element's user space to device space (the document's matrix included).
    const TMatrix& GetMatrix() const { return FCompleteCalculatedMatrix; }
    // The same without the document's matrix: into the user space of the document's children.
    const TMatrix& GetCalculatedMatrix() const { return FCalculatedMatrix; }
    const TMatrix& GetPureMatrix() const { return FPureMatrix; }
    // Stores the element's own transform and recomposes this element's matrices.
    void SetPureMatrix(const TMatrix& Value);

    // Composes FCompleteCalculatedMatrix and FCalculatedMatrix from the own transforms of this
    // element and its ancestors (the document contributing its root matrix).
    void ComputeNodeMatrices();
    // Places the subtree at Complete (this element's user space → device space), each descendant by
    // its own transform below it: how markers, patterns and masks draw content that lives elsewhere.
    void PlaceSubtree(const TMatrix& Complete);
    // P through FCalculatedMatrix when that is a transform, else P. (Inside element classes the
    // free function of the same name needs the plumwick:: qualifier.)
    TPointF TransformPoint(const TPointF& P) const;
    TPointF TransformPoint(float X, float Y) const { return TransformPoint(TPointF{X, Y}); }

protected:
    friend class TSVGObject;  // CalculateMatrices composes the matrices of a whole subtree

    TMatrix FPureMatrix;                // own "transform"; all zero when absent
    TMatrix FCompleteCalculatedMatrix;  // user space → device space
    TMatrix FCalculatedMatrix;          // user space → the document children's user space
};

}  // namespace plumwick
