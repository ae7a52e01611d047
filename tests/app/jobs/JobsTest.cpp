// Work spread over several threads gives the files of a one-thread run, byte for byte, and reports
// progress in icon order.
#include "../cli/RunPlumwick.h"
#include "tests/support/TestFolder.h"

#include "app/ExtractionJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using plumwick::testing::RunPlumwick;

// Icons that reach every shared piece of the renderer: named colours, gradients, clips, reuse, dashes,
// and text through the font lookup and the kerning object.
const std::vector<std::pair<std::string, std::string>> kIcons = {
    {"named-colours",
     R"svg(<svg viewBox="0 0 24 24"><rect width="12" height="24" fill="cornflowerblue"/><circle cx="18" cy="12" r="5" fill="darkorange" stroke="rebeccapurple"/></svg>)svg"},
    {"gradient",
     R"svg(<svg viewBox="0 0 32 32"><defs><linearGradient id="g" x2="1" y2="1"><stop offset="0" stop-color="#f00"/><stop offset="1" stop-color="#00f" stop-opacity=".5"/></linearGradient><radialGradient id="r"><stop offset="0" stop-color="yellow"/><stop offset="1" stop-color="teal"/></radialGradient></defs><rect width="32" height="16" fill="url(#g)"/><ellipse cx="16" cy="24" rx="14" ry="7" fill="url(#r)"/></svg>)svg"},
    {"clip-use",
     R"svg(<svg xmlns:xlink="http://www.w3.org/1999/xlink" viewBox="0 0 20 20"><defs><clipPath id="c"><circle cx="10" cy="10" r="8"/></clipPath><path id="p" d="M0 0h10v10z"/></defs><g clip-path="url(#c)" transform="rotate(10 10 10)"><use xlink:href="#p" fill="green"/><use xlink:href="#p" x="8" y="8" fill="navy"/></g></svg>)svg"},
    {"strokes",
     R"svg(<svg viewBox="0 0 24 24" fill="none" stroke="black" stroke-width="2" stroke-linecap="round"><path d="M3 12h18M12 3v18" stroke-dasharray="3 2"/><polyline points="4 20 12 14 20 20" stroke-linejoin="bevel"/></svg>)svg"},
    {"text",
     R"svg(<svg viewBox="0 0 64 32"><text x="4" y="22" font-family="DejaVu Sans" font-size="18" fill="maroon">AVAWa</text></svg>)svg"},
    {"text-bold-underline",
     R"svg(<svg viewBox="0 0 64 32"><text x="2" y="24" font-family="Liberation Serif" font-size="20" font-weight="bold" text-decoration="underline">To<tspan fill="red">ky</tspan></text></svg>)svg"},
    {"big-view-box", R"svg(<svg viewBox="0 0 1024 1024"><path d="M512 64 960 960H64z" fill="#3a7"/></svg>)svg"},
};

// Every regular file below folder, by its relative path.
std::map<std::string, std::string> FilesBelow(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = plumwick::test::ReadWholeFile(entry.path());
    return files;
}

class Jobs : public testing::Test {
protected:
    void SetUp() override { FFolder = plumwick::test::FreshTestFolder("plumwick-jobs"); }
    void TearDown() override { fs::remove_all(FFolder); }

    fs::path FFolder;
};

TEST_F(Jobs, RenderWritesTheSameBytesWithOneAndWithFourJobs)
{
    std::vector<std::string> inputs;
    for (const auto& [name, text] : kIcons) {
        const fs::path path = FFolder / (name + ".svg");
        std::ofstream(path) << text;
        inputs.push_back(path.string());
    }
    for (const char* format : {"png", "ico"}) {
        SCOPED_TRACE(format);
        std::map<std::string, std::string> byJobs[2];
        for (int run = 0; run < 2; ++run) {
            const fs::path out = FFolder / (std::string(format) + (run == 0 ? "-one" : "-four"));
            std::vector<std::string> args = {"render", "-o",     out.string(),        "-s", "40x36", "-f",
                                             format,   "--jobs", run == 0 ? "1" : "4"};
            args.insert(args.end(), inputs.begin(), inputs.end());
            ASSERT_EQ(RunPlumwick(args), 0);
            byJobs[run] = FilesBelow(out);
        }
        ASSERT_EQ(byJobs[0].size(), kIcons.size());
        for (const auto& [name, bytes] : byJobs[0]) {
            SCOPED_TRACE(name);
            EXPECT_GT(bytes.size(), 100u);
            EXPECT_TRUE(byJobs[1][name] == bytes) << "the four-job file differs";
        }
    }
}

// A reply in the service's shape holding each icon `copies` times, with the names of `names` when given.
std::string Reply(int copies, const std::map<int, std::string>& names = {})
{
    auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (char c : text) {
            if (c == '"') out += '\\';
            out += c;
        }
        return out += '"';
    };
    std::string icons;
    int index = 0;
    for (int copy = 0; copy < copies; ++copy)
        for (const auto& [name, text] : kIcons) {
            const auto renamed = names.find(index);
            const std::string shown = renamed != names.end() ? renamed->second : name + std::to_string(copy);
            if (index++ > 0) icons += ',';
            icons.append("{\"name\":").append(quoted(shown)).append(",\"show_svg\":").append(quoted(text));
            icons += '}';
        }
    return R"({"code":200,"data":{"icons":[)" + icons + "]}}";
}

struct TRun {
    plumwick::TJobResult Result;
    std::vector<int> Reported;  // IconDone indices in call order
};

TRun Extract(const fs::path& out, const std::string& reply, int jobs, int stopAfter = -1)
{
    fs::create_directories(out);
    TRun run;
    std::atomic<bool> stop{false};
    plumwick::TJobRequest request;
    request.OutputFolder = out.string();
    request.ReplyText = reply;
    request.Settings.Width = 48;
    request.Settings.Height = 40;
    plumwick::TJobCallbacks callbacks;
    callbacks.Jobs = jobs;
    callbacks.Stop = &stop;
    callbacks.IconDone = [&](int index, int, const std::string&) {
        run.Reported.push_back(index);
        if (index == stopAfter) stop = true;
    };
    run.Result = plumwick::RunExtraction(request, callbacks);
    return run;
}

std::vector<int> UpTo(int count)
{
    std::vector<int> indices;
    for (int i = 0; i < count; ++i) indices.push_back(i);
    return indices;
}

TEST_F(Jobs, ExtractWritesTheSameBytesAndReportsIconsInOrder)
{
    const std::string reply = Reply(3);
    const int count = static_cast<int>(kIcons.size()) * 3;
    const TRun one = Extract(FFolder / "one", reply, 1);
    const TRun four = Extract(FFolder / "four", reply, 4);
    ASSERT_EQ(one.Result.End, plumwick::TJobEnd::Completed) << one.Result.Text;
    ASSERT_EQ(four.Result.End, plumwick::TJobEnd::Completed) << four.Result.Text;
    EXPECT_EQ(four.Result.Count, count);
    EXPECT_EQ(one.Reported, UpTo(count));
    EXPECT_EQ(four.Reported, UpTo(count));

    const auto files = FilesBelow(FFolder / "one");
    EXPECT_EQ(files.size(), 3u * count + 1);  // svg, full and half size per icon, and the saved reply
    EXPECT_TRUE(files == FilesBelow(FFolder / "four")) << "the four-job files differ";
}

TEST_F(Jobs, ExtractGoesPastFailingIconsAndEndsAtAStop)
{
    const int count = static_cast<int>(kIcons.size()) * 3;
    struct Case {
        const char* label;
        std::map<int, std::string> names;
        int stopAfter;
        plumwick::TJobEnd end;
        int reported;  // icons reported, all in order from 0
    };
    const Case cases[] = {
        // Renamed, not failed: every icon is written.
        {"names that leave the folder", {{9, "../up"}, {15, "a/b"}}, -1, plumwick::TJobEnd::Completed, count},
        // A name too long for the file system: cut at its limit and written.
        {"a name of 300 bytes", {{4, std::string(300, 'n')}}, -1, plumwick::TJobEnd::Completed, count},
        {"a stop after icon 4", {}, 4, plumwick::TJobEnd::Stopped, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const int jobs : {1, 4}) {
            SCOPED_TRACE(jobs);
            const TRun run =
                Extract(FFolder / (std::string(c.label) + std::to_string(jobs)), Reply(3, c.names), jobs, c.stopAfter);
            // With several workers every icon may be written before the stop is seen.
            const bool finishedFirst =
                jobs > 1 && c.end == plumwick::TJobEnd::Stopped && run.Result.End == plumwick::TJobEnd::Completed;
            if (!finishedFirst) {
                EXPECT_EQ(run.Result.End, c.end) << run.Result.Text;
            }
            EXPECT_TRUE(run.Result.Failed.empty());
            if (c.end == plumwick::TJobEnd::Stopped) {
                // Icons already underway when the stop came may still be reported, in order.
                ASSERT_GE(run.Reported.size(), static_cast<std::size_t>(c.reported));
                EXPECT_EQ(run.Reported, UpTo(static_cast<int>(run.Reported.size())));
                if (jobs == 1) {
                    EXPECT_EQ(run.Reported.size(), static_cast<std::size_t>(c.reported));
                }
            } else {
                EXPECT_EQ(run.Reported, UpTo(c.reported));
            }
        }
    }
}

}  // namespace
