// Bidirectional levels through FriBidi, and the upright test of vertical text.
#include "platform/TextShaper.h"

#include <fribidi.h>

namespace plumwick {

std::vector<std::uint8_t> BidiLevels(std::u32string_view Text, bool BaseRightToLeft)
{
    const std::size_t n = Text.size();
    std::vector<std::uint8_t> levels(n, BaseRightToLeft ? 1 : 0);
    if (n == 0) return levels;
    std::vector<FriBidiChar> chars(Text.begin(), Text.end());
    std::vector<FriBidiCharType> types(n);
    std::vector<FriBidiBracketType> brackets(n);
    std::vector<FriBidiLevel> out(n);
    fribidi_get_bidi_types(chars.data(), static_cast<FriBidiStrIndex>(n), types.data());
    fribidi_get_bracket_types(chars.data(), static_cast<FriBidiStrIndex>(n), types.data(), brackets.data());
    FriBidiParType direction = BaseRightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), static_cast<FriBidiStrIndex>(n), &direction,
                                            out.data()) == 0)
        return levels;
    for (std::size_t i = 0; i < n; ++i) levels[i] = static_cast<std::uint8_t>(out[i]);
    return levels;
}

bool IsUprightInVertical(char32_t C)
{
    // East Asian wide and full-width ranges, as the vertical orientation table gives them upright.
    return (C >= 0x1100 && C <= 0x11FF) || (C >= 0x2E80 && C <= 0x2FDF) || (C >= 0x2FF0 && C <= 0x303F) ||
           (C >= 0x3040 && C <= 0x31FF) || (C >= 0x3200 && C <= 0x4DBF) || (C >= 0x4E00 && C <= 0x9FFF) ||
           (C >= 0xA960 && C <= 0xA97F) || (C >= 0xAC00 && C <= 0xD7FF) || (C >= 0xF900 && C <= 0xFAFF) ||
           (C >= 0xFE30 && C <= 0xFE4F) || (C >= 0xFF00 && C <= 0xFF60) || (C >= 0xFFE0 && C <= 0xFFE6) ||
           (C >= 0x1F000 && C <= 0x1FAFF) || (C >= 0x20000 && C <= 0x3FFFD);
}

}  // namespace plumwick
