#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// The token list of one path's data: command letters as one-character strings and number texts, in the order
// the segments read them. Reading past the end raises ESVGError, as data ending inside a command must.
class TPathTokens {
public:
    TPathTokens() = default;
    explicit TPathTokens(std::vector<std::string> tokens) : FTokens(std::move(tokens)) {}

    int Count() const { return static_cast<int>(FTokens.size()); }
    // The token at Index; raises ESVGError "List index out of bounds (Index)" outside 0..Count-1.
    const std::string& Get(int index) const;
    // The token at Index as a number (0 when it is not one); raises like Get.
    float Number(int index) const;
    // The token at Index read as an integer from its sign and leading digits (arc flags); raises like Get.
    int Integer(int index) const;

    const std::vector<std::string>& Tokens() const { return FTokens; }

private:
    std::vector<std::string> FTokens;
};

namespace pathdata {

// Most tokens one path's data may split into: an arc, the longest command, takes eight, so this admits as many
// segments as a whole document may hold while keeping a runaway attribute from taking gigabytes.
inline constexpr std::size_t MaxPathTokens = 2000000;

// The 20 letters "MmLlHhVvCcSsQqTtAaZz".
bool IsCommandLetter(char c);
// Numbers one command takes (A 7, C 6, Q S 4, L M T 2, H V 1, Z and anything else 0).
int NumbersPerCommand(char command);

// Splits the whole data into tokens, one command at a time; the first character always counts as a command.
std::vector<std::string> ParsePathData(std::string_view data);
// The tokens of one command: its letter, then the numbers of its parameter text.
std::vector<std::string> ParseCommand(char command, std::string_view params);
// Inserts the letters of implicitly repeated commands (a move repeats as a line) into one command's tokens.
void InsertRepeatedCommands(char command, std::vector<std::string>& tokens);

}  // namespace pathdata

}  // namespace plumwick
