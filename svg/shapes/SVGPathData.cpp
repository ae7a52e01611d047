#include "svg/shapes/SVGPathData.h"

#include "svg/base/SVGError.h"
#include "svg/base/SVGParse.h"

#include <algorithm>
#include <cstring>

namespace plumwick {

namespace {

bool IsBlank(unsigned char c)
{
    return c <= 32;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

}  // namespace

const std::string& TPathTokens::Get(int index) const
{
    if (index < 0 || index >= Count()) throw ESVGError("List index out of bounds (" + std::to_string(index) + ")");
    return FTokens[static_cast<std::size_t>(index)];
}

float TPathTokens::Number(int index) const
{
    float value = 0;
    TryParseNumber(Get(index), value);
    return value;
}

int TPathTokens::Integer(int index) const
{
    const std::string& token = Get(index);
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    long long value = 0;
    // Only zero versus non-zero matters to the callers; stop growing before it could overflow.
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        if (value < 1000000000) value = value * 10 + (token[i] - '0');
    return static_cast<int>(negative ? -value : value);
}

namespace pathdata {

bool IsCommandLetter(char c)
{
    return c != '\0' && std::strchr("MmLlHhVvCcSsQqTtAaZz", c) != nullptr;
}

int NumbersPerCommand(char command)
{
    switch (command) {
        case 'A':
        case 'a':
            return 7;
        case 'C':
        case 'c':
            return 6;
        case 'Q':
        case 'q':
        case 'S':
        case 's':
            return 4;
        case 'L':
        case 'l':
        case 'T':
        case 't':
        case 'M':
        case 'm':
            return 2;
        case 'H':
        case 'h':
        case 'V':
        case 'v':
            return 1;
        default:
            return 0;
    }
}

std::vector<std::string> ParsePathData(std::string_view data)
{
    std::vector<std::string> tokens;
    std::size_t p = 0;
    while (p < data.size()) {
        std::size_t q = p + 1;
        while (q < data.size() && !IsCommandLetter(data[q])) ++q;
        const std::string_view params = TrimBlanks(data.substr(p + 1, q - p - 1));
        std::vector<std::string> command = ParseCommand(data[p], params);
        tokens.insert(tokens.end(), std::make_move_iterator(command.begin()), std::make_move_iterator(command.end()));
        if (tokens.size() > MaxPathTokens)
            throw ESVGError("The path data holds more than " + std::to_string(MaxPathTokens) + " numbers and commands");
        p = q;
    }
    return tokens;
}

std::vector<std::string> ParseCommand(char command, std::string_view params)
{
    std::vector<std::string> tokens;
    tokens.emplace_back(1, command);
    std::string token;
    bool hasPoint = false;
    bool inExponent = false;
    auto flush = [&] {
        if (tokens.size() >= MaxPathTokens)
            throw ESVGError("The path data holds more than " + std::to_string(MaxPathTokens) + " numbers and commands");
        if (!token.empty()) tokens.push_back(std::move(token));
        token.clear();
        hasPoint = false;
        inExponent = false;
    };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const bool arc = command == 'A' || command == 'a';
    for (std::size_t i = 0; i < params.size(); ++i) {
        const char c = params[i];
        // The two flags of an arc are one character each, so minified data that runs them into the next
        // number ("a1 1 0 0164 0") reads as the flags 0 and 1 and the number 64.
        if (arc && token.empty() && (c == '0' || c == '1')) {
            const std::size_t inGroup = (tokens.size() - 1) % 7;
            if (inGroup == 3 || inGroup == 4) {
                tokens.emplace_back(1, c);
                continue;
            }
        }
        switch (c) {
            case '\t':
            case '\n':
            case '\r':
            case ' ':
                flush();
                break;
            case '+':
            case '-':
                flush();
                token = c;
                break;
            case '.':
                if (hasPoint || inExponent) {
                    flush();
                    token.assign(1, '.');
                } else {
                    token += '.';
                }
                hasPoint = true;
                break;
            case 'e':
            case 'E': {
                // An exponent belongs to the number when digits (after an optional sign) follow it.
                const bool mantissa = std::any_of(token.begin(), token.end(), isDigit);
                const std::size_t next =
                    i + 1 < params.size() && (params[i + 1] == '+' || params[i + 1] == '-') ? i + 2 : i + 1;
                if (mantissa && !inExponent && next < params.size() && isDigit(params[next])) {
                    token.append(params.substr(i, next - i));
                    inExponent = true;
                    i = next - 1;
                }
                break;
            }
            default:
                if (isDigit(c)) token += c;
                // Anything else (other letters, symbols, control characters) is dropped without ending the number.
                break;
        }
    }
    flush();
    if (command == 'Z' || command == 'z')
        tokens.resize(1);
    else if (NumbersPerCommand(command) > 0)
        InsertRepeatedCommands(command, tokens);
    return tokens;
}

void InsertRepeatedCommands(char command, std::vector<std::string>& tokens)
{
    const int n = NumbersPerCommand(command);
    const int k = static_cast<int>(tokens.size()) - 1;
    // Every complete group after the first gets its letter, also when a stray number trails them (browsers
    // draw up to that number; leaving all but the first group out would drop most of the figure).
    if (n == 0 || k < 2 * n) return;
    const std::string letter(1, command == 'M' ? 'L' : command == 'm' ? 'l' : command);
    std::vector<std::string> result;
    result.reserve(tokens.size() + static_cast<std::size_t>(k / n));
    result.push_back(std::move(tokens[0]));
    for (int i = 0; i < k; ++i) {
        // A letter goes in front of every later group of n numbers that is complete.
        if (i >= n && i % n == 0 && i + n <= k) result.push_back(letter);
        result.push_back(std::move(tokens[static_cast<std::size_t>(i) + 1]));
    }
    tokens = std::move(result);
}

}  // namespace pathdata

}  // namespace plumwick
