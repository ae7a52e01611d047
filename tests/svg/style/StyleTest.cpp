// Declaration blocks and the style sheet.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "svg/style/SVGStyle.h"

namespace plumwick {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries EntriesOf(const TStyle& s)
{
    Entries e;
    for (int i = 0; i < s.Count(); ++i) e.emplace_back(s.GetKey(i), s.GetValuesByNum(i));
    return e;
}

TEST(StyleSetValues, Declarations)
{
    struct {
        const char* Text;
        Entries Expected;
    } cases[] = {
        {"fill:red;stroke:blue", {{"fill", "red"}, {"stroke", "blue"}}},
        {"  fill : red ;  ", {{"fill", "red"}}},
        {"fill:red;fill:blue", {{"fill", "blue"}}},
        {"fill:red;fill:", {}},
        {"fill:", {{"fill", ""}}},
        {"font-family:'Arial'", {{"font-family", "Arial"}}},
        {"font-family:\"Times New Roman\"", {{"font-family", "Times New Roman"}}},
        {"font-family:'a\"", {{"font-family", "'a\""}}},
        {"x:'", {{"x", ""}}},
        {"nonsense;fill:red", {{"fill", "red"}}},
        {"FILL:red", {{"FILL", "red"}}},
        {"a:url(x:y);b:'c;d'", {{"a", "url(x:y)"}, {"b", "'c"}}},
        {"q:'\"v\"'", {{"q", "\"v\""}}},
        {"", {}},
        {";;;", {}},
    };
    for (const auto& c : cases) {
        TStyle s;
        s.SetValues(c.Text);
        EXPECT_EQ(EntriesOf(s), c.Expected) << c.Text;
    }
}

TEST(StyleSetValues, MergesWithoutNotification)
{
    TStyle s;
    int changes = 0;
    s.SetOnChange([&](TStyle& sender) {
        EXPECT_EQ(&sender, &s);
        ++changes;
    });
    s.AddStyle("fill", "blue");
    EXPECT_EQ(changes, 1);
    s.SetValues("fill:red");
    EXPECT_EQ(s.GetValues("fill"), "red");
    EXPECT_EQ(changes, 1);
}

TEST(StyleAddStyle, ReplacesRemovesAndNotifies)
{
    TStyle s;
    int changes = 0;
    s.SetOnChange([&](TStyle&) { ++changes; });
    EXPECT_EQ(s.AddStyle("a", "1"), 0);
    EXPECT_EQ(s.AddStyle("b", "'2'"), 1);
    EXPECT_EQ(s.GetValues("b"), "2");
    EXPECT_EQ(s.AddStyle("a", "3"), 0);
    EXPECT_EQ(s.GetValues("a"), "3");
    EXPECT_EQ(s.AddStyle("a", "''"), 0);  // empty after dequoting: removed, index still returned
    EXPECT_EQ(s.IndexOf("a"), -1);
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(s.AddStyle(" b", "x"), 1);  // keys are not trimmed here
}

TEST(StylePutValues, AppendsWithNotificationReplacesSilently)
{
    TStyle s;
    int changes = 0;
    s.SetOnChange([&](TStyle&) { ++changes; });
    s.PutValues("fill", "red");
    EXPECT_EQ(changes, 1);
    s.PutValues("stroke", "blue");
    s.PutValues("fill", "green");
    s.PutValues("stroke", "black");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(EntriesOf(s), (Entries{{"fill", "green"}, {"stroke", "black"}}));
}

TEST(StyleAccess, OutOfRangeAndAbsent)
{
    TStyle s;
    s.SetValues("fill:red");
    EXPECT_EQ(s.GetValues("stroke"), "");
    EXPECT_EQ(s.IndexOf("stroke"), -1);
    EXPECT_EQ(s.Remove("stroke"), -1);
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.GetValuesByNum(5), "");
    EXPECT_EQ(s.GetKey(-1), "");
    s.PutValuesByNum(3, "x");
    s.PutKey(3, "x");
    s.Delete(9);
    EXPECT_EQ(EntriesOf(s), (Entries{{"fill", "red"}}));
    s.PutKey(0, "stroke");
    EXPECT_EQ(EntriesOf(s), (Entries{{"stroke", "red"}}));
    EXPECT_EQ(s.Remove("stroke"), 0);
    EXPECT_EQ(s.Count(), 0);
}

TEST(StyleValues, QuotesInsideValuesSurvive)
{
    TStyle s;
    s.AddStyle("font-family", "a\"b");
    EXPECT_EQ(s.GetValues("font-family"), "a\"b");
    s.PutKey(0, "f");
    EXPECT_EQ(s.GetValues("f"), "a\"b");
}

TEST(StyleClone, CopiesNameAndEntriesNotHandler)
{
    TStyle s;
    int changes = 0;
    s.SetName(".cls");
    s.SetOnChange([&](TStyle&) { ++changes; });
    s.SetValues("fill:red;stroke:blue");
    auto c = s.Clone();
    EXPECT_EQ(c->Name(), ".cls");
    EXPECT_EQ(EntriesOf(*c), EntriesOf(s));
    c->AddStyle("fill", "green");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(s.GetValues("fill"), "red");
}

TEST(StyleListAdd, RuleText)
{
    struct {
        const char* Text;
        int Result;
        Entries Rules;  // name, first declaration "key=value"
    } cases[] = {
        {".cls { fill: red }", 0, {{".cls", "fill=red"}}},
        {"#id{fill:red}", 0, {{"#id", "fill=red"}}},
        {"no braces", -1, {}},
        {"a, b { fill:red }", 0, {{"a, b", "fill=red"}}},
        {"a { x:1 } b { y:2 }", 2, {{"a", "x=1 } b { y:2"}, {"a", "x=1"}, {"a { x:1 } b", "y=2"}}},
        {"} a {", -1, {}},
        {"a {}", 0, {{"a", ""}}},
    };
    for (const auto& c : cases) {
        TStyleList list;
        EXPECT_EQ(list.Add(std::string_view(c.Text)), c.Result) << c.Text;
        ASSERT_EQ(list.Count(), static_cast<int>(c.Rules.size())) << c.Text;
        for (int i = 0; i < list.Count(); ++i) {
            TStyle* r = list.GetStyle(i);
            EXPECT_EQ(r->Name(), c.Rules[i].first) << c.Text;
            std::string first = r->Count() ? r->GetKey(0) + "=" + r->GetValuesByNum(0) : "";
            EXPECT_EQ(first, c.Rules[i].second) << c.Text;
        }
    }
}

TEST(StyleList, LookupIsExactAndFirstWins)
{
    TStyleList list;
    list.Add(std::string_view("a { x:1 } b { y:2 }"));
    EXPECT_EQ(list.GetStyleByName("a"), list.GetStyle(0));
    list.Add(".cls", "fill:red");
    EXPECT_NE(list.GetStyleByName(".cls"), nullptr);
    EXPECT_EQ(list.GetStyleByName(".CLS"), nullptr);
    EXPECT_EQ(list.GetStyleByName("cls"), nullptr);
}

// The lookup by name must follow every change of the list and of its rules' names: the first rule of a name
// is found, whatever happened since the last lookup.
TEST(StyleList, LookupFollowsChanges)
{
    struct TStep {
        const char* Name;
        std::function<void(TStyleList&)> Change;
        const char* Looked;
        int Expected;  // index of the rule found, -1 for none
    };
    const TStep steps[] = {
        {"append_new_name", [](TStyleList& l) { l.Add(".c", "x:3"); }, ".c", 3},
        {"append_known_name_keeps_first", [](TStyleList& l) { l.Add(".a", "x:4"); }, ".a", 0},
        {"insert_before_first", [](TStyleList& l) { EXPECT_TRUE(l.Insert(0, ".b", "x:5")); }, ".b", 0},
        {"delete_first_finds_next", [](TStyleList& l) { l.Delete(1); }, ".a", 4},
        {"rename_in_place", [](TStyleList& l) { l.GetStyle(0)->SetName(".a"); }, ".a", 0},
        {"renamed_away_is_gone", [](TStyleList& l) { l.GetStyle(1)->SetName(".z"); }, ".b", -1},
        {"exchange", [](TStyleList& l) { l.Exchange(0, 1); }, ".z", 0},
        {"move", [](TStyleList& l) { l.Move(0, 3); }, ".z", 3},
        {"put_replaces", [](TStyleList& l) { EXPECT_TRUE(l.PutStyle(3, std::make_unique<TStyle>())); }, ".z", -1},
        {"clear", [](TStyleList& l) { l.Clear(); }, ".a", -1},
    };
    TStyleList list;
    list.Add(".a", "x:0");
    list.Add(".b", "x:1");
    list.Add("#i", "x:2");
    ASSERT_EQ(list.GetStyleByName(".b"), list.GetStyle(1));  // builds the index before the first change
    for (const TStep& step : steps) {
        step.Change(list);
        EXPECT_EQ(list.GetStyleByName(step.Looked), step.Expected < 0 ? nullptr : list.GetStyle(step.Expected))
            << step.Name;
    }
}

TEST(StyleList, RenamingARuleOutsideTheListLeavesTheListAlone)
{
    TStyleList list;
    list.Add(".a", "x:0");
    auto copy = list.Clone();
    ASSERT_NE(copy->GetStyleByName(".a"), nullptr);
    list.GetStyle(0)->SetName(".b");
    EXPECT_NE(copy->GetStyleByName(".a"), nullptr);
    EXPECT_EQ(list.GetStyleByName(".a"), nullptr);
    EXPECT_EQ(list.GetStyleByName(".b"), list.GetStyle(0));
}

TEST(StyleList, InsertPutAndOwnership)
{
    TStyleList list;
    auto s = std::make_unique<TStyle>();
    EXPECT_FALSE(list.Insert(0, std::move(s)));  // cannot append, not even into an empty list
    ASSERT_NE(s, nullptr);                       // the caller keeps a refused style
    EXPECT_FALSE(list.Insert(0, "n", "x:1"));
    EXPECT_EQ(list.Count(), 0);
    list.Add("first", "x:1");
    EXPECT_FALSE(list.Insert(1, std::move(s)));
    ASSERT_NE(s, nullptr);
    s->SetName("zero");
    EXPECT_TRUE(list.Insert(0, std::move(s)));
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(list.GetStyle(0)->Name(), "zero");
    EXPECT_TRUE(list.Insert(1, "mid", "y:2"));
    EXPECT_EQ(list.GetStyle(1)->Name(), "mid");

    auto p = std::make_unique<TStyle>();
    p->SetName("put");
    EXPECT_FALSE(list.PutStyle(3, std::move(p)));
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(list.PutStyle(2, std::move(p)));
    EXPECT_EQ(list.GetStyle(2)->Name(), "put");
    EXPECT_EQ(list.GetStyle(3), nullptr);
    EXPECT_EQ(list.GetStyle(-1), nullptr);
}

TEST(StyleList, ReorderAndRemove)
{
    TStyleList list;
    for (const char* n : {"a", "b", "c"}) list.Add(n, "");
    auto names = [&] {
        std::string r;
        for (int i = 0; i < list.Count(); ++i) r += list.GetStyle(i)->Name();
        return r;
    };
    list.Exchange(0, 2);
    EXPECT_EQ(names(), "cba");
    list.Exchange(0, 3);
    list.Move(0, 2);
    EXPECT_EQ(names(), "bac");
    list.Move(2, 5);
    EXPECT_EQ(names(), "bac");
    TStyle* a = list.GetStyle(1);
    EXPECT_EQ(list.IndexOf(a), 1);
    EXPECT_EQ(list.Remove(a), 1);
    EXPECT_EQ(names(), "bc");
    TStyle outsider;
    EXPECT_EQ(list.Remove(&outsider), -1);
    list.Delete(7);
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StyleList, CloneIsDeep)
{
    TStyleList list;
    list.Add(".a", "fill:red");
    auto copy = list.Clone();
    ASSERT_EQ(copy->Count(), 1);
    copy->GetStyle(0)->PutValues("fill", "blue");
    copy->GetStyle(0)->SetName(".b");
    EXPECT_EQ(list.GetStyle(0)->GetValues("fill"), "red");
    EXPECT_EQ(list.GetStyle(0)->Name(), ".a");
    EXPECT_NE(copy->GetStyle(0), list.GetStyle(0));
}

}  // namespace
}  // namespace plumwick
