#include "svg/style/SVGStyle.h"

#include <algorithm>

#include "svg/base/SVGCommon.h"
#include "svg/base/SVGParse.h"
#include "svg/style/SelectorIndex.h"

namespace plumwick {

namespace {

constexpr char kSeparator = '"';

std::string_view EntryKey(const std::string& entry)
{
    std::string_view e(entry);
    return e.substr(0, std::min(e.find(kSeparator), e.size()));
}

std::string_view EntryValue(const std::string& entry)
{
    size_t q = entry.find(kSeparator);
    return q == std::string::npos ? std::string_view() : std::string_view(entry).substr(q + 1);
}

std::string MakeEntry(std::string_view key, std::string_view value)
{
    std::string e(key);
    e += kSeparator;
    e.append(value);
    return e;
}

}  // namespace

// ---------------------------------------------------------------- TStyle

std::string TStyle::Dequote(std::string_view value)
{
    if (!value.empty() && (value.front() == '\'' || value.front() == '"') && value.back() == value.front())
        return value.size() == 1 ? std::string() : std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

void TStyle::Touch()
{
    if (FOwner) FOwner->ValuesChanged();
}

void TStyle::Clear()
{
    FValues.clear();
    Touch();
}

std::unique_ptr<TStyle> TStyle::Clone() const
{
    auto copy = std::make_unique<TStyle>();
    copy->FName = FName;
    copy->FValues = FValues;
    return copy;
}

void TStyle::SetValues(std::string_view values)
{
    std::string_view rest = TrimView(values);
    while (!rest.empty()) {
        size_t semi = rest.find(';');
        std::string_view decl = rest.substr(0, semi);
        rest = semi == std::string_view::npos ? std::string_view() : TrimView(rest.substr(semi + 1));
        size_t colon = decl.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view key = TrimView(decl.substr(0, colon));
        std::string_view value = TrimView(decl.substr(colon + 1));
        int i = IndexOf(key);
        if (i >= 0)
            PutValuesByNum(i, value);
        else
            FValues.push_back(MakeEntry(key, Dequote(value)));
    }
    Touch();
}

int TStyle::AddStyle(std::string_view key, std::string_view value)
{
    int i = IndexOf(key);
    if (i < 0) {
        FValues.push_back(MakeEntry(key, Dequote(value)));
        i = Count() - 1;
    } else {
        PutValuesByNum(i, value);
    }
    Touch();
    if (FOnChange) FOnChange(*this);
    return i;
}

int TStyle::IndexOf(std::string_view key) const
{
    for (int i = 0; i < Count(); ++i)
        if (EntryKey(FValues[static_cast<size_t>(i)]) == key) return i;
    return -1;
}

void TStyle::Delete(int index)
{
    if (index >= 0 && index < Count()) FValues.erase(FValues.begin() + index);
    Touch();
}

int TStyle::Remove(std::string_view key)
{
    int i = IndexOf(key);
    Delete(i);
    return i;
}

std::string TStyle::GetValues(std::string_view key) const
{
    return GetValuesByNum(IndexOf(key));
}

void TStyle::PutValues(std::string_view key, std::string_view value)
{
    int i = IndexOf(key);
    if (i >= 0)
        PutValuesByNum(i, value);
    else
        AddStyle(key, value);
}

std::string TStyle::GetValuesByNum(int index) const
{
    if (index < 0 || index >= Count()) return {};
    return std::string(EntryValue(FValues[static_cast<size_t>(index)]));
}

void TStyle::PutValuesByNum(int index, std::string_view value)
{
    if (index < 0 || index >= Count()) return;
    std::string v = Dequote(value);
    std::string& entry = FValues[static_cast<size_t>(index)];
    if (v.empty())
        Delete(index);
    else
        entry = MakeEntry(EntryKey(entry), v);
    Touch();
}

std::string TStyle::GetKey(int index) const
{
    if (index < 0 || index >= Count()) return {};
    return std::string(EntryKey(FValues[static_cast<size_t>(index)]));
}

void TStyle::PutKey(int index, std::string_view key)
{
    if (index < 0 || index >= Count()) return;
    std::string& entry = FValues[static_cast<size_t>(index)];
    entry = MakeEntry(key, EntryValue(entry));
    Touch();
}

// ---------------------------------------------------------------- TStyleList

void TStyle::SetName(std::string_view name)
{
    FName = name;
    if (FOwner) FOwner->Changed();
}

TStyleList::TStyleList() = default;

TStyleList::~TStyleList()
{
    Clear();
}

void TStyleList::Changed()
{
    FIndexValid = false;
    FSelectors.reset();
}

void TStyleList::ValuesChanged()
{
    FSelectors.reset();
}

const TSelectorIndex& TStyleList::Selectors() const
{
    if (!FSelectors) FSelectors = std::make_unique<TSelectorIndex>(*this);
    return *FSelectors;
}

void TStyleList::Adopt(TStyle& style)
{
    style.FOwner = this;
    Changed();
}

void TStyleList::Clear()
{
    for (const auto& s : FList) Release(*s);
    FList.clear();
    Changed();
}

std::unique_ptr<TStyleList> TStyleList::Clone() const
{
    auto copy = std::make_unique<TStyleList>();
    for (const auto& s : FList) copy->Add(s->Clone());
    return copy;
}

int TStyleList::Add(std::unique_ptr<TStyle> style)
{
    if (!style) return -1;
    // Appending keeps a built index: the new rule can only be the first of its name when the name is new.
    const bool keep = FIndexValid;
    Adopt(*style);
    FList.push_back(std::move(style));
    const int index = Count() - 1;
    if (keep) {
        FIndex.emplace(FList.back()->Name(), index);
        FIndexValid = true;
    }
    return index;
}

namespace {
std::unique_ptr<TStyle> NewRule(std::string_view name, std::string_view values)
{
    auto s = std::make_unique<TStyle>();
    s->SetName(name);
    s->SetValues(values);
    return s;
}
}  // namespace

int TStyleList::Add(std::string_view name, std::string_view values)
{
    return Add(NewRule(name, values));
}

int TStyleList::Add(std::string_view ruleText)
{
    std::string_view text = TrimView(ruleText);
    int result = -1;
    // Every "{" pairs with every later "}", the farthest first.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '{') continue;
        for (size_t j = text.size() - 1; j > i; --j)
            if (text[j] == '}') result = Add(TrimView(text.substr(0, i)), text.substr(i + 1, j - i - 1));
    }
    return result;
}

bool TStyleList::Insert(int index, std::unique_ptr<TStyle>&& style)
{
    if (!InRange(index) || !style) return false;
    Adopt(*style);
    FList.insert(FList.begin() + index, std::move(style));
    return true;
}

bool TStyleList::Insert(int index, std::string_view name, std::string_view values)
{
    if (!InRange(index)) return false;
    return Insert(index, NewRule(name, values));
}

void TStyleList::Exchange(int index1, int index2)
{
    if (!InRange(index1) || !InRange(index2)) return;
    std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
    Changed();
}

void TStyleList::Move(int curIndex, int newIndex)
{
    if (!InRange(curIndex) || !InRange(newIndex) || curIndex == newIndex) return;
    std::unique_ptr<TStyle> s = std::move(FList[static_cast<size_t>(curIndex)]);
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, std::move(s));
    Changed();
}

int TStyleList::IndexOf(const TStyle* style) const
{
    for (int i = 0; i < Count(); ++i)
        if (FList[static_cast<size_t>(i)].get() == style) return i;
    return -1;
}

void TStyleList::Delete(int index)
{
    if (!InRange(index)) return;
    Release(*FList[static_cast<size_t>(index)]);
    FList.erase(FList.begin() + index);
    Changed();
}

int TStyleList::Remove(const TStyle* style)
{
    int i = IndexOf(style);
    Delete(i);
    return i;
}

TStyle* TStyleList::GetStyle(int index) const
{
    return InRange(index) ? FList[static_cast<size_t>(index)].get() : nullptr;
}

bool TStyleList::PutStyle(int index, std::unique_ptr<TStyle>&& style)
{
    if (!InRange(index) || !style) return false;
    Adopt(*style);
    Release(*FList[static_cast<size_t>(index)]);
    FList[static_cast<size_t>(index)] = std::move(style);
    return true;
}

TStyle* TStyleList::GetStyleByName(std::string_view name) const
{
    if (!FIndexValid) {
        FIndex.clear();
        for (int i = 0; i < Count(); ++i) FIndex.emplace(FList[static_cast<size_t>(i)]->Name(), i);
        FIndexValid = true;
    }
    const auto found = FIndex.find(name);
    return found != FIndex.end() ? FList[static_cast<size_t>(found->second)].get() : nullptr;
}

namespace {

template <class F>
void LoadDeclaration(const TStyle& style, std::string_view name, int& code, F convert)
{
    if (style.IndexOf(name) >= 0) code = convert(TrimView(style.GetValues(name)));
}

}  // namespace

void LoadDisplay(const TStyle& style, int& code)
{
    LoadDeclaration(style, "display", code, DisplayCode);
}

void LoadVisible(const TStyle& style, int& code)
{
    LoadDeclaration(style, "visibility", code, VisibleCode);
}

}  // namespace plumwick
