#include "app/WindowMessages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace plumwick {
namespace {

TJobResult WithFailures(int count, int failed, const std::string& name, const std::string& reason)
{
    TJobResult result;
    result.End = TJobEnd::Completed;
    result.Count = count;
    for (int i = 0; i < failed; ++i) {
        TIconReport report;
        report.Index = i;
        report.Name = name;
        report.Failures = {reason};
        result.Failed.push_back(report);
    }
    return result;
}

TJobResult EndedBy(TJobProblem problem, int status, const std::string& text)
{
    TJobResult result;
    result.End = TJobEnd::Problem;
    result.Problem = problem;
    result.HttpStatus = status;
    result.Text = text;
    return result;
}

struct TTextCase {
    const char* Name;
    std::string Got;
    std::string Expected;
    friend void PrintTo(const TTextCase& c, std::ostream* out) { *out << c.Name; }
};

class WindowTexts : public ::testing::TestWithParam<TTextCase> {};

TEST_P(WindowTexts, AreTheWindowsOwn)
{
    EXPECT_EQ(GetParam().Got, GetParam().Expected);
}

std::string Repeated(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text.append("\n").append(std::to_string(i)).append(line);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowTexts,
    ::testing::Values(
        TTextCase{"EmptyCid", InputHintText(TInputProblem::EmptyCid), "图标库的CID不能为空！"},
        TTextCase{"NoFolder", InputHintText(TInputProblem::NoOutputFolder),
                  "输出文件夹不存在，请先浏览选择输出文件夹！"},
        TTextCase{"NotJson", WindowMessageText(EndedBy(TJobProblem::InvalidReply, 0, "the reply is not valid JSON")),
                  "JSON数据解析失败！"},
        TTextCase{"Http404", WindowMessageText(EndedBy(TJobProblem::HttpStatus, 404, "")),
                  "图标库服务找不到这个图标库（HTTP 404），请检查图标库的CID。"},
        TTextCase{"Http503", WindowMessageText(EndedBy(TJobProblem::HttpStatus, 503, "")),
                  "图标库服务暂时出错（HTTP 503），请稍后再试。"},
        TTextCase{"Http403", WindowMessageText(EndedBy(TJobProblem::HttpStatus, 403, "")),
                  "图标库服务拒绝了请求（HTTP 403）。"},
        TTextCase{"Network", WindowMessageText(EndedBy(TJobProblem::Network, 0, "Could not connect to 127.0.0.1")),
                  "无法连接图标库服务，请检查网络连接或代理设置。\n(Could not connect to 127.0.0.1)"},
        TTextCase{"OneFailure", FailuresText(WithFailures(3, 1, "下载", "Value 'name' not found.")),
                  "共3个图标，其中1个未能完整导出：\n0 \"下载\"：Value 'name' not found."},
        // Names from the service reach the box escaped.
        TTextCase{"ControlCharacters", FailuresText(WithFailures(1, 1, "a\nb\x1b", "bad")),
                  "共1个图标，其中1个未能完整导出：\n0 \"a\\nb\\x1b\"：bad"},
        // A box, not a log: fifteen lines, then how many more.
        TTextCase{"SixteenFailures", FailuresText(WithFailures(20, 16, "x", "r")),
                  "共20个图标，其中16个未能完整导出：" + Repeated(" \"x\"：r", 15) + "\n……（另有1个）"},
        TTextCase{"CompletedNone", CompletedText(0), "图标提取完成，共提取0个文件!是否打开文件夹查看？"},
        TTextCase{"Completed", CompletedText(1234), "图标提取完成，共提取1234个文件!是否打开文件夹查看？"}),
    [](const ::testing::TestParamInfo<TTextCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace plumwick
