#pragma once

#include "app/ExtractionJob.h"

#include <string>

namespace plumwick {

// The text of the window's error box for a job that failed before its icons: a Chinese sentence, with the
// technical detail after it where there is one.
std::string WindowMessageText(const TJobResult& result);

}  // namespace plumwick
