#pragma once

#include <stdexcept>
#include <string>

namespace plumwick {

// Raised for SVG content the renderer cannot absorb (broken path data, unreadable image, missing text path).
class ESVGError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace plumwick
