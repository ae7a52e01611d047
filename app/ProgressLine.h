#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace plumwick {

// One line on a terminal, redrawn in place: "done/total, icons per second, time left".
class TProgressLine {
public:
    explicit TProgressLine(std::FILE* out);

    // True when the stream is a terminal, where the line is drawn.
    bool Visible() const { return FVisible; }

    // Redraws the line for done of total; ends it when done reaches total.
    void Update(int done, int total);
    // Ends a line cut short, so the next message starts on a line of its own.
    void Interrupted();

    // The line's text, e.g. "[#####.....] 120/600  85.3 icons/s  6 s left".
    static std::string Text(int done, int total, double seconds);

private:
    std::FILE* FOut;
    bool FVisible;
    bool FLineOpen = false;
    std::chrono::steady_clock::time_point FStart;
};

}  // namespace plumwick
