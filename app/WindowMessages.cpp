#include "app/WindowMessages.h"

#include "app/FileNames.h"

namespace plumwick {

std::string InputHintText(TInputProblem problem)
{
    return problem == TInputProblem::EmptyCid ? kTextEmptyCid : kTextNoOutputFolder;
}

std::string WindowMessageText(const TJobResult& result)
{
    switch (result.Problem) {
        case TJobProblem::Network:
            return "无法连接图标库服务，请检查网络连接或代理设置。\n(" + result.Text + ")";
        case TJobProblem::HttpStatus: {
            const std::string status = std::string("HTTP ").append(std::to_string(result.HttpStatus));
            if (result.HttpStatus == 404) return "图标库服务找不到这个图标库（" + status + "），请检查图标库的CID。";
            if (result.HttpStatus >= 500) return "图标库服务暂时出错（" + status + "），请稍后再试。";
            return "图标库服务拒绝了请求（" + status + "）。";
        }
        case TJobProblem::InvalidReply:
            return kTextJsonFailed;
        case TJobProblem::None:
            break;
    }
    return result.Text;
}

std::string FailuresText(const TJobResult& result)
{
    // Appended piece by piece: a literal followed by a temporary string ("x" + std::to_string(n)) sets off a
    // false -Wrestrict inside GCC 12's string code.
    std::string text = "共";
    text.append(std::to_string(result.Count)).append("个图标，其中");
    text.append(std::to_string(result.Failed.size())).append("个未能完整导出：");
    // A box, not a log: the first few, and how many more.
    constexpr std::size_t kShown = 15;
    for (std::size_t i = 0; i < result.Failed.size() && i < kShown; ++i) {
        const TIconReport& icon = result.Failed[i];
        text.append("\n").append(std::to_string(icon.Index)).append(" \"");
        text.append(PrintableText(icon.Name)).append("\"：");
        text.append(PrintableText(icon.Failures.front()));
    }
    if (result.Failed.size() > kShown)
        text.append("\n……（另有").append(std::to_string(result.Failed.size() - kShown)).append("个）");
    return text;
}

std::string CompletedText(int count)
{
    std::string text = "图标提取完成，共提取";
    text.append(std::to_string(count)).append("个文件!是否打开文件夹查看？");
    return text;
}

}  // namespace plumwick
