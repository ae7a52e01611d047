#include "app/ProgressLine.h"

#include <algorithm>
#include <cmath>

#include <unistd.h>

namespace plumwick {

TProgressLine::TProgressLine(std::FILE* out)
    : FOut(out), FVisible(::isatty(fileno(out)) == 1), FStart(std::chrono::steady_clock::now())
{
}

std::string TProgressLine::Text(int done, int total, double seconds)
{
    constexpr int kBarWidth = 30;
    const int filled = total > 0 ? std::clamp(done * kBarWidth / total, 0, kBarWidth) : kBarWidth;
    std::string text(1, '[');
    text.append(static_cast<std::size_t>(filled), '#');
    text.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    text += "] ";
    text += std::to_string(done);
    text += '/';
    text += std::to_string(total);
    if (seconds > 0 && done > 0) {
        const double rate = done / seconds;
        char figures[64];
        std::snprintf(figures, sizeof figures, "  %.1f icons/s  %.0f s left", rate, std::ceil((total - done) / rate));
        text += figures;
    }
    return text;
}

void TProgressLine::Update(int done, int total)
{
    if (!FVisible) return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
    // The trailing clear wipes what a longer earlier line left.
    std::fprintf(FOut, "\r%s\033[K", Text(done, total, seconds).c_str());
    FLineOpen = done < total;
    if (!FLineOpen) std::fprintf(FOut, "\n");
    std::fflush(FOut);
}

void TProgressLine::Interrupted()
{
    if (FLineOpen) std::fprintf(FOut, "\n");
    FLineOpen = false;
    std::fflush(FOut);
}

}  // namespace plumwick
