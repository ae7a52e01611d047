#pragma once

#include "app/ExtractionJob.h"

#include <string>

namespace plumwick {

// The window's own texts; the job and the command line know nothing of them.
inline constexpr const char* kCaptionHint = "提示";
inline constexpr const char* kCaptionError = "错误";
inline constexpr const char* kTextEmptyCid = "图标库的CID不能为空！";
inline constexpr const char* kTextNoOutputFolder = "输出文件夹不存在，请先浏览选择输出文件夹！";
inline constexpr const char* kTextJsonFailed = "JSON数据解析失败！";

// The hint box for a job that cannot start.
std::string InputHintText(TInputProblem problem);

// The text of the window's error box for a job that failed before its icons: a Chinese sentence, with the
// technical detail after it where there is one.
std::string WindowMessageText(const TJobResult& result);

// The box for a job whose icons did not all come out: how many, and which (with the reason).
std::string FailuresText(const TJobResult& result);

// The completion question for count icons.
std::string CompletedText(int count);

}  // namespace plumwick
