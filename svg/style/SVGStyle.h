#pragma once

// CSS declaration blocks (TStyle) and the document's style sheet (TStyleList). Rules are found by their exact
// selector text, or matched to elements through the list's selector index.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

class TStyleList;
class TSelectorIndex;

// Ordered, named set of key/value declarations. Keys are unique as far as the writing operations
// go; values are dequoted (one pair of surrounding ' or " removed) whenever written.
class TStyle {
public:
    using TChangeEvent = std::function<void(TStyle& sender)>;

    TStyle() = default;
    TStyle(const TStyle&) = delete;
    TStyle& operator=(const TStyle&) = delete;

    // Removes all declarations (no notification).
    void Clear();
    // Same name and declarations; the change handler is not copied.
    std::unique_ptr<TStyle> Clone() const;
    // Merges "key:value;key:value" (trimmed keys and values); an empty value for a present key
    // removes it. No notification.
    void SetValues(std::string_view values);
    // Adds or replaces (an empty value removes the entry but its former index is still returned),
    // then raises OnChange.
    int AddStyle(std::string_view key, std::string_view value);
    // Position of the key, or -1.
    int IndexOf(std::string_view key) const;
    // Out-of-range indexes are ignored.
    void Delete(int index);
    // Removes the key; returns its former index or -1.
    int Remove(std::string_view key);

    // Value of key, or "" when absent.
    std::string GetValues(std::string_view key) const;
    // Replaces silently when present, else AddStyle (which notifies).
    void PutValues(std::string_view key, std::string_view value);
    std::string GetValuesByNum(int index) const;
    // Dequoted replacement; an empty value removes the entry. No notification.
    void PutValuesByNum(int index, std::string_view value);
    std::string GetKey(int index) const;
    // Renames the entry and keeps its value. No notification.
    void PutKey(int index, std::string_view key);
    int Count() const { return static_cast<int>(FValues.size()); }

    const std::string& Name() const { return FName; }
    // A rule of a style list tells the list, whose lookup by name then looks again.
    void SetName(std::string_view name);
    const TChangeEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TChangeEvent handler) { FOnChange = std::move(handler); }

    // One pair of matching surrounding quotes removed; a lone quote becomes empty.
    static std::string Dequote(std::string_view value);

private:
    // Each entry is key + '"' + value; the first double quote ends the key.
    std::vector<std::string> FValues;
    std::string FName;
    TChangeEvent FOnChange;
    TStyleList* FOwner = nullptr;  // the list holding this rule, if any

    // A rule of a list tells it of every change: its selector index is then built again on its next use.
    void Touch();

    friend class TStyleList;
    class TSelectorIndex;
};

// Owning list of named rules, in insertion order.
class TStyleList {
public:
    TStyleList();
    ~TStyleList();
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    void Clear();
    // Deep copy of every rule, in order.
    std::unique_ptr<TStyleList> Clone() const;
    // Appends and takes ownership; returns the index.
    int Add(std::unique_ptr<TStyle> style);
    // New rule named name with SetValues(values); returns its index.
    int Add(std::string_view name, std::string_view values);
    // Parses rule text "selector { declarations }"; returns the index of the last rule added or -1.
    int Add(std::string_view ruleText);
    // Only when 0 <= index < Count: inserts before index and takes the style (the argument is then
    // empty); otherwise nothing happens and the caller keeps it. Returns whether it was inserted.
    [[nodiscard]] bool Insert(int index, std::unique_ptr<TStyle>&& style);
    [[nodiscard]] bool Insert(int index, std::string_view name, std::string_view values);
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Position of that very object, or -1.
    int IndexOf(const TStyle* style) const;
    void Delete(int index);
    // Deletes that very object; returns its former index or -1.
    int Remove(const TStyle* style);
    // The rule, or nullptr when out of range.
    TStyle* GetStyle(int index) const;
    // Only when index is in range: replaces (and frees) the rule there and takes the style;
    // otherwise the caller keeps it. Returns whether it was stored.
    [[nodiscard]] bool PutStyle(int index, std::unique_ptr<TStyle>&& style);
    // First rule whose name equals name exactly, or nullptr.
    TStyle* GetStyleByName(std::string_view name) const;
    int Count() const { return static_cast<int>(FList.size()); }
    // The rules parsed and bucketed for matching against elements; built on first use after a change.
    const TSelectorIndex& Selectors() const;

private:
    friend class TStyle;

    bool InRange(int index) const { return index >= 0 && index < Count(); }
    // Takes the rule in (it reports renames from now on) or lets it go.
    void Adopt(TStyle& style);
    static void Release(TStyle& style) { style.FOwner = nullptr; }
    void Changed();
    // A rule's declarations changed: only the selector index holds copies of them.
    void ValuesChanged();

    std::vector<std::unique_ptr<TStyle>> FList;
    // First position of every rule name, built on demand: elements look rules up by name for every class and
    // id they carry, which against a long sheet must not cost a pass over the sheet each time.
    mutable std::map<std::string, int, std::less<>> FIndex;
    mutable bool FIndexValid = false;
    mutable std::unique_ptr<TSelectorIndex> FSelectors;
};

// "display" and "visibility" codes (see DisplayCode, VisibleCode) from the declarations an element ends up
// with (attributes, sheet rules, inline style); code keeps its value when Style has no such declaration.
void LoadDisplay(const TStyle& style, int& code);
void LoadVisible(const TStyle& style, int& code);

}  // namespace plumwick
