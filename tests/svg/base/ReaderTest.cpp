// Typed attribute readers on a parsed element.

#include <gtest/gtest.h>

#include "platform/Xml.h"
#include "svg/base/SVGCommon.h"

namespace plumwick {
namespace {

TXmlNode Element(const std::string& attributes)
{
    TXmlDocument doc;
    doc.LoadFromText("<e " + attributes + "/>");
    return doc.DocumentElement();
}

TEST(Readers, AbsentAttributeLeavesTarget)
{
    TXmlNode e = Element("other='1'");
    float f = 42;
    std::string s = "keep";
    TMatrix m = CreateScaling(2, 2);
    int display = 7, visible = 7;
    LoadLength(e, "x", f);
    LoadPercent(e, "opacity", f);
    LoadString(e, "id", s);
    LoadTransform(e, "transform", m);
    LoadDisplay(e, display);
    LoadVisible(e, visible);
    EXPECT_EQ(f, 42);
    EXPECT_EQ(s, "keep");
    EXPECT_EQ(m, CreateScaling(2, 2));
    EXPECT_EQ(display, 7);
    EXPECT_EQ(visible, 7);
}

TEST(Readers, PresentAttributes)
{
    TXmlNode e = Element("x='15pt' w='' o='50%' oe='' id=' a b ' t='translate(3)' bad='junk'");
    float x = 0, w = 5, o = 0, oe = 0, bad = 9;
    std::string id;
    TMatrix t;
    LoadLength(e, "x", x);
    LoadLength(e, "w", w);
    LoadLength(e, "bad", bad);
    LoadPercent(e, "o", o);
    LoadPercent(e, "oe", oe);
    LoadString(e, "id", id);
    LoadTransform(e, "t", t);
    EXPECT_FLOAT_EQ(x, 20);  // 15pt at 96 per inch
    EXPECT_EQ(w, 0);
    EXPECT_EQ(bad, 0);
    EXPECT_FLOAT_EQ(o, 0.5f);
    EXPECT_EQ(oe, -1);
    EXPECT_EQ(id, " a b ");
    EXPECT_EQ(t, CreateTranslation(3, 0));
}

TEST(Readers, DisplayAndVisibilityCodes)
{
    struct {
        const char* Display;
        int Code;
    } displays[] = {{"inherit", -1}, {"none", 0}, {"block", 1}, {" none", 1}, {"None", 1}, {"", 1}};
    for (const auto& c : displays) {
        int code = 5;
        LoadDisplay(Element(std::string("display='") + c.Display + "'"), code);
        EXPECT_EQ(code, c.Code) << c.Display;
    }
    struct {
        const char* Visibility;
        int Code;
    } visibilities[] = {{"inherit", -1}, {"visible", 1}, {"hidden", 0}, {"collapse", 0}, {"visible ", 0}};
    for (const auto& c : visibilities) {
        int code = 5;
        LoadVisible(Element(std::string("visibility='") + c.Visibility + "'"), code);
        EXPECT_EQ(code, c.Code) << c.Visibility;
    }
}

TEST(Readers, GradientUnitsResetToBoundingBox)
{
    TGradientUnits u = guUserSpaceOnUse;
    LoadGradientUnits(Element("x='1'"), u);
    EXPECT_EQ(u, guObjectBoundingBox);
    LoadGradientUnits(Element("gradientUnits='userSpaceOnUse'"), u);
    EXPECT_EQ(u, guUserSpaceOnUse);
    LoadGradientUnits(Element("gradientUnits='UserSpaceOnUse'"), u);
    EXPECT_EQ(u, guObjectBoundingBox);
}

}  // namespace
}  // namespace plumwick
