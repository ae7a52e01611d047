#include "app/WindowMessages.h"

namespace plumwick {

std::string WindowMessageText(const TJobResult& result)
{
    switch (result.Problem) {
    case TJobProblem::Network:
        return "无法连接图标库服务，请检查网络连接或代理设置。\n(" + result.Text + ")";
    case TJobProblem::HttpStatus: {
        const std::string status = "HTTP " + std::to_string(result.HttpStatus);
        if (result.HttpStatus == 404)
            return "图标库服务找不到这个图标库（" + status + "），请检查图标库的CID。";
        if (result.HttpStatus >= 500)
            return "图标库服务暂时出错（" + status + "），请稍后再试。";
        return "图标库服务拒绝了请求（" + status + "）。";
    }
    case TJobProblem::None:
        break;
    }
    return result.Text;
}

}  // namespace plumwick
