#include "LoopbackServer.h"
#include "tests/support/TestFolder.h"

#include "app/MainWindow.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRawFont>
#include <QStatusBar>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

// GCC 12 reports the std::string members of the case tables below as maybe uninitialized; they are not.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

static void InitResources()
{
    Q_INIT_RESOURCE(plumwick);
}

namespace plumwick {
namespace {

namespace fs = std::filesystem;

class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        FApplication = std::make_unique<QApplication>(FArgc, FArgv);
        InitResources();
    }
    void TearDown() override { FApplication.reset(); }

private:
    int FArgc = 1;
    char FName[16] = "test_app_window";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApplication;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

struct TBox {
    std::string Text;
    std::string Caption;
    TMessageIcon Icon;
    TMessageButtons Buttons;
    bool ProgressVisible;  // the window's state while the box is open
    bool StartEnabled;
};

class TFakeDialogs : public IDialogs {
public:
    TMessageResult ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon,
                               TMessageButtons buttons) override
    {
        bool progress = false;
        bool start = false;
        if (Window) {
            progress = Window->findChild<QProgressBar*>("pb1")->isVisible();
            start = Window->findChild<QPushButton*>("btnStart")->isEnabled();
        }
        Boxes.push_back({text, caption, icon, buttons, progress, start});
        return buttons == TMessageButtons::YesNo ? Answer : TMessageResult::Ok;
    }
    void OpenFolder(const std::string& path) override { OpenedFolders.push_back(path); }
    void OpenUrl(const std::string& url) override { OpenedUrls.push_back(url); }
    std::string ChooseFolder(const std::string& title) override
    {
        ChooserTitles.push_back(title);
        return ChosenFolder;
    }

    QWidget* Window = nullptr;
    TMessageResult Answer = TMessageResult::No;
    std::string ChosenFolder;
    std::vector<TBox> Boxes;
    std::vector<std::string> OpenedFolders;
    std::vector<std::string> OpenedUrls;
    std::vector<std::string> ChooserTitles;
};

const std::string kIconSvg =
    R"(<svg class=\"icon\" viewBox=\"0 0 1024 1024\"><path d=\"M0 0h1024v1024H0z\" fill=\"#2C7BE5\"/></svg>)";
const std::string kTwoIcons = R"({"data":{"icons":[{"name":"a","show_svg":")" + kIconSvg +
                              R"("},{"name":"b","show_svg":")" + kIconSvg + R"("}]}})";

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = plumwick::test::FreshTestFolder("plumwick-window");
        TWindowOptions options;
        options.ApiBase = FServer.Base();
        options.Http.ResponseTimeoutMs = 2000;
        FWindow = std::make_unique<TfrmSvg>(FDialogs, options);
        FDialogs.Window = FWindow.get();
        FWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
        FWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
    }
    void TearDown() override
    {
        FWindow.reset();
        fs::remove_all(FFolder);
    }

    template <typename T>
    T* Control(const char* name)
    {
        T* control = FWindow->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Edit(const char* name) { return Control<QLineEdit>(name); }
    QPushButton* Button(const char* name) { return Control<QPushButton>(name); }
    TSpinEdit* Spin(const char* name) { return Control<TSpinEdit>(name); }
    QComboBox* Formats() { return Control<QComboBox>("cbGeShi"); }
    QProgressBar* Progress() { return Control<QProgressBar>("pb1"); }

    // Replaces a spin edit's text by typing, then moves the focus away.
    void TypeInto(TSpinEdit* spin, const QString& text)
    {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClicks(spin, text);
        Edit("edtCid")->setFocus();
    }

    void Start(const std::string& cid)
    {
        Edit("edtCid")->setText(QString::fromStdString(cid));
        Edit("edtPath")->setText(QString::fromStdString(FFolder.string()));
        QTest::mouseClick(Button("btnStart"), Qt::LeftButton);
    }

    // Lets the job run to its end; false when it is still running after a generous wait.
    bool WaitForJob()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (FWindow->JobRunning()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        QCoreApplication::processEvents();
        return true;
    }

    test::TLoopbackServer FServer;
    TFakeDialogs FDialogs;
    fs::path FFolder;
    std::unique_ptr<TfrmSvg> FWindow;
};

TEST_F(MainWindow, FreshStart)
{
    EXPECT_EQ(FWindow->windowTitle(), QString::fromUtf8("Plumwick图标提取器"));
    EXPECT_EQ(FWindow->size(), QSize(506, 283));
    EXPECT_EQ(FWindow->minimumSize(), FWindow->maximumSize());
    EXPECT_FALSE(FWindow->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(FWindow->windowFlags() & Qt::WindowMinimizeButtonHint);

    EXPECT_EQ(Edit("edtCid")->text(), "32622");
    EXPECT_TRUE(Edit("edtCid")->font().bold());
    EXPECT_EQ(Edit("edtCid")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(Spin("seWidth")->text(), "96");
    EXPECT_EQ(Spin("seHeight")->text(), "96");
    EXPECT_EQ(Spin("seWidth")->minimum(), 16);
    EXPECT_EQ(Spin("seWidth")->maximum(), 400);
    EXPECT_EQ(Formats()->currentIndex(), 0);
    EXPECT_EQ(Formats()->count(), 3);
    EXPECT_EQ(Formats()->itemText(0), "png");
    EXPECT_EQ(Formats()->itemText(1), "bmp");
    EXPECT_EQ(Formats()->itemText(2), "ico");
    EXPECT_FALSE(Formats()->isEditable());
    EXPECT_FALSE(Button("btnMoRen")->isEnabled());
    EXPECT_TRUE(Button("btnStart")->isEnabled());
    EXPECT_FALSE(Progress()->isVisible());
    EXPECT_TRUE(Edit("edtPath")->isReadOnly());
    EXPECT_EQ(Edit("edtPath")->text(), QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    EXPECT_FALSE(Edit("edtPath")->text().endsWith('/'));
}

TEST_F(MainWindow, ControlsSitWhereTheLayoutPutsThem)
{
    const struct {
        const char* Name;
        QString Caption;  // empty: not checked
        QRect Geometry;
    } cases[] = {
        {"edtCid", "", {94, 45, 275, 27}},         {"btnStart", "开始提取", {195, 194, 111, 41}},
        {"edtPath", "", {94, 93, 275, 27}},        {"BtnPath", "浏览", {375, 90, 89, 33}},
        {"seWidth", "", {94, 138, 51, 29}},        {"seHeight", "", {201, 138, 51, 29}},
        {"cbGeShi", "", {304, 139, 65, 27}},       {"pb1", "", {0, 247, 506, 17}},
        {"BtnPaste", "粘贴", {375, 42, 89, 33}},   {"btnMoRen", "默认", {375, 137, 89, 33}},
        {"Label1", "图标cid：", {40, 48, 57, 19}}, {"Label2", "保存到：", {40, 96, 52, 19}},
        {"Label3", "图标长：", {40, 143, 52, 19}}, {"Label4", "图标宽：", {151, 143, 52, 19}},
        {"Label5", "格式：", {267, 143, 39, 19}},  {"Label6", "IconFont官网", {375, 204, 90, 19}},
        {"Label7", "", {40, 204, 84, 19}},         {"StatusBar1", "", {0, 264, 506, 19}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QWidget* control = FWindow->findChild<QWidget*>(c.Name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), c.Geometry);
        if (!c.Caption.isEmpty()) {
            if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_EQ(button->text(), c.Caption);
                EXPECT_EQ(button->iconSize(), QSize(16, 16));
                EXPECT_FALSE(button->icon().isNull());
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                EXPECT_EQ(label->text(), c.Caption);
            }
        }
    }
    // Tab stops in the window's order.
    const char* order[] = {"edtCid",   "btnStart", "edtPath",  "BtnPath", "seWidth",
                           "seHeight", "cbGeShi",  "BtnPaste", "btnMoRen"};
    Edit("edtCid")->setFocus();
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget* next = FWindow->focusWidget();
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->objectName(), order[i - 1]);
        QTest::keyClick(next, Qt::Key_Tab);
        // The disabled button is skipped by the tab key, so stop before it.
        if (std::string(order[i]) == "btnMoRen") break;
    }
    EXPECT_FALSE(Control<QStatusBar>("StatusBar1")->findChildren<QLabel*>().front()->text().isEmpty());
}

TEST_F(MainWindow, TheFontShowsChinese)
{
    const QFont font = FWindow->font();
    EXPECT_EQ(font.pixelSize(), 13);
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese);
    ASSERT_TRUE(raw.isValid()) << font.family().toStdString();
    for (const char32_t c : std::u32string_view(U"图标提取开始浏览粘贴默认格式")) {
        EXPECT_TRUE(raw.supportsCharacter(static_cast<uint>(c))) << raw.familyName().toStdString();
    }
}

TEST_F(MainWindow, SpinEditsClampAndRefuseLetters)
{
    const struct {
        const char* Typed;
        const char* Shown;  // after the focus moved on
        int Value;
    } cases[] = {
        {"1000", "400", 400}, {"400", "400", 400},  {"401", "400", 400},  {"15", "16", 16},
        {"5", "16", 16},      {"16", "16", 16},     {"97", "97", 97},     {"abc", "16", 16},
        {"-20", "16", 16},    {"+120", "120", 120}, {"12a3", "123", 123}, {"", "16", 16},
    };
    for (TSpinEdit* spin : {Spin("seWidth"), Spin("seHeight")}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(spin->objectName().toStdString()) + " " + c.Typed);
            TypeInto(spin, c.Typed);
            EXPECT_EQ(spin->text(), c.Shown);
            EXPECT_EQ(spin->CurrentValue(), c.Value);
        }
    }
    // Arrow keys step by one and stop at the ends.
    const struct {
        int From;
        Qt::Key Key;
        int To;
    } steps[] = {{96, Qt::Key_Up, 97}, {96, Qt::Key_Down, 95}, {400, Qt::Key_Up, 400}, {16, Qt::Key_Down, 16}};
    TSpinEdit* spin = Spin("seWidth");
    for (const auto& s : steps) {
        spin->setValue(s.From);
        spin->setFocus();
        QTest::keyClick(spin, s.Key);
        EXPECT_EQ(spin->value(), s.To) << s.From;
    }
}

TEST_F(MainWindow, DefaultButton)
{
    const struct {
        const char* Name;
        std::function<void()> Change;
    } changes[] = {
        {"width", [this] { TypeInto(Spin("seWidth"), "120"); }},
        {"height", [this] { QTest::keyClick(Spin("seHeight"), Qt::Key_Up); }},
        {"format", [this] { Formats()->setCurrentIndex(1); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.Name);
        FWindow.reset();
        FWindow = std::make_unique<TfrmSvg>(FDialogs, TWindowOptions{});
        FWindow->show();
        Spin("seHeight")->setFocus();
        ASSERT_FALSE(Button("btnMoRen")->isEnabled());
        c.Change();
        ASSERT_TRUE(Button("btnMoRen")->isEnabled());
        QTest::mouseClick(Button("btnMoRen"), Qt::LeftButton);
        EXPECT_EQ(Spin("seWidth")->text(), "96");
        EXPECT_EQ(Spin("seHeight")->text(), "96");
        EXPECT_EQ(Formats()->currentText(), "png");
        EXPECT_TRUE(Button("btnMoRen")->isEnabled()) << "never disabled again";
    }
}

TEST_F(MainWindow, PasteReplacesTheId)
{
    const struct {
        QString Clipboard;
        QString Shown;
    } cases[] = {{"12345", "12345"}, {" 7 ", " 7 "}, {"", ""}, {"下载", "下载"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Clipboard.toStdString());
        Edit("edtCid")->setText("32622");
        QGuiApplication::clipboard()->setText(c.Clipboard);
        QTest::mouseClick(Button("BtnPaste"), Qt::LeftButton);
        EXPECT_EQ(Edit("edtCid")->text(), c.Shown);
    }
}

TEST_F(MainWindow, BrowseAndLinks)
{
    const QString before = Edit("edtPath")->text();
    FDialogs.ChosenFolder = "";
    QTest::mouseClick(Button("BtnPath"), Qt::LeftButton);
    EXPECT_EQ(Edit("edtPath")->text(), before) << "cancelling keeps the folder";
    FDialogs.ChosenFolder = "/srv/icons";
    QTest::mouseClick(Button("BtnPath"), Qt::LeftButton);
    EXPECT_EQ(Edit("edtPath")->text(), "/srv/icons");
    ASSERT_EQ(FDialogs.ChooserTitles.size(), 2u);
    EXPECT_EQ(FDialogs.ChooserTitles[0], "请选择要保存图标的文件夹");

    QTest::mouseClick(Control<QLabel>("Label6"), Qt::LeftButton);
    QTest::mouseClick(Control<QLabel>("Label7"), Qt::LeftButton);
    ASSERT_EQ(FDialogs.OpenedUrls.size(), 2u);
    EXPECT_EQ(FDialogs.OpenedUrls[0], kIconFontHomeUrl);
    EXPECT_TRUE(FDialogs.OpenedUrls[0].starts_with("https://"));
    EXPECT_EQ(FDialogs.OpenedUrls[1], kForumUrl);
}

TEST_F(MainWindow, InputChecksShowHints)
{
    const struct {
        const char* Cid;
        std::string Folder;
        const char* Text;
    } cases[] = {
        {"", "", "图标库的CID不能为空！"},
        {"", "/no/such/folder", "图标库的CID不能为空！"},
        {"32622", "/no/such/folder", "输出文件夹不存在，请先浏览选择输出文件夹！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        FDialogs.Boxes.clear();
        Edit("edtCid")->setText(c.Cid);
        Edit("edtPath")->setText(QString::fromStdString(c.Folder.empty() ? FFolder.string() : c.Folder));
        QTest::mouseClick(Button("btnStart"), Qt::LeftButton);
        ASSERT_EQ(FDialogs.Boxes.size(), 1u);
        EXPECT_EQ(FDialogs.Boxes[0].Text, c.Text);
        EXPECT_EQ(FDialogs.Boxes[0].Caption, "提示");
        EXPECT_EQ(FDialogs.Boxes[0].Icon, TMessageIcon::Information);
        EXPECT_EQ(FDialogs.Boxes[0].Buttons, TMessageButtons::Ok);
        EXPECT_FALSE(FWindow->JobRunning());
        EXPECT_TRUE(Button("btnStart")->isEnabled());
        EXPECT_FALSE(Progress()->isVisible());
    }
    EXPECT_TRUE(fs::is_empty(FFolder));
}

TEST_F(MainWindow, WholeRunAndTheCompletionPrompt)
{
    FServer.Set("32622", {200, kTwoIcons, test::TEncoding::DeflateRaw});
    for (const TMessageResult answer : {TMessageResult::Yes, TMessageResult::No}) {
        SCOPED_TRACE(answer == TMessageResult::Yes ? "yes" : "no");
        FDialogs.Boxes.clear();
        FDialogs.OpenedFolders.clear();
        FDialogs.Answer = answer;
        // Typed but not confirmed: the click moves the focus, which clamps the width to 400.
        Spin("seWidth")->setFocus();
        Spin("seWidth")->selectAll();
        QTest::keyClicks(Spin("seWidth"), "999");
        TypeInto(Spin("seHeight"), "50");
        Spin("seWidth")->setFocus();
        Start("32622");
        EXPECT_FALSE(Button("btnStart")->isEnabled());
        EXPECT_TRUE(Progress()->isVisible());
        ASSERT_TRUE(WaitForJob());

        EXPECT_TRUE(Button("btnStart")->isEnabled());
        EXPECT_FALSE(Progress()->isVisible());
        ASSERT_EQ(FDialogs.Boxes.size(), 1u);
        const TBox& box = FDialogs.Boxes[0];
        EXPECT_EQ(box.Text, "图标提取完成，共提取2个文件!是否打开文件夹查看？");
        EXPECT_EQ(box.Caption, "提示");
        EXPECT_EQ(box.Icon, TMessageIcon::Information);
        EXPECT_EQ(box.Buttons, TMessageButtons::YesNo);
        EXPECT_FALSE(box.ProgressVisible) << "the prompt comes after the clean-up";
        EXPECT_TRUE(box.StartEnabled);
        if (answer == TMessageResult::Yes) {
            ASSERT_EQ(FDialogs.OpenedFolders.size(), 1u);
            EXPECT_EQ(FDialogs.OpenedFolders[0], (FFolder / "400x50").string());
        } else {
            EXPECT_TRUE(FDialogs.OpenedFolders.empty());
        }
        for (const char* file : {"svg/a-0.svg", "svg/b-1.svg", "400x50/a-0.png", "200x25/b-1.png", "collection.json"})
            EXPECT_TRUE(fs::exists(FFolder / file)) << file;
    }
}

TEST_F(MainWindow, EndingsOfAJob)
{
    const struct {
        const char* Name;
        test::TCannedReply Reply;
        std::optional<TBox> Box;  // the one box expected
    } cases[] = {
        {"404",
         {404, kTwoIcons},
         TBox{"图标库服务找不到这个图标库（HTTP 404），请检查图标库的CID。", "错误", TMessageIcon::Error,
              TMessageButtons::Ok, true, false}},
        {"500",
         {500, "busy"},
         TBox{"图标库服务暂时出错（HTTP 500），请稍后再试。", "错误", TMessageIcon::Error, TMessageButtons::Ok, true,
              false}},
        {"not JSON",
         {200, "oops"},
         TBox{"JSON数据解析失败！", "错误", TMessageIcon::Error, TMessageButtons::Ok, true, false}},
        {"top-level array",
         {200, "[]"},
         TBox{"Invalid class typecast.", kApplicationTitle, TMessageIcon::Error, TMessageButtons::Ok, false, true}},
        {"member missing",
         {200, R"({"data":{"icons":[{"name":"x"}]}})"},
         TBox{"共1个图标，其中1个未能完整导出：\n0 \"x\"：Value 'show_svg' not found.", "错误", TMessageIcon::Error,
              TMessageButtons::Ok, false, true}},
        {"bad SVG",
         {200, R"({"data":{"icons":[{"name":"x","show_svg":"<svg"}]}})"},
         std::nullopt},  // the failures box; the reason is the renderer's
        {"empty list",
         {200, R"({"data":{"icons":[]}})"},
         TBox{"图标提取完成，共提取0个文件!是否打开文件夹查看？", "提示", TMessageIcon::Information,
              TMessageButtons::YesNo, false, true}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        FDialogs.Boxes.clear();
        const std::string id = "ending" + std::to_string(n++);
        FServer.Set(id, c.Reply);
        Start(id);
        ASSERT_TRUE(WaitForJob());
        EXPECT_TRUE(Button("btnStart")->isEnabled());
        EXPECT_FALSE(Progress()->isVisible());
        if (std::string(c.Name) == "bad SVG") {
            ASSERT_EQ(FDialogs.Boxes.size(), 1u);
            EXPECT_EQ(FDialogs.Boxes[0].Caption, "错误");
            EXPECT_EQ(FDialogs.Boxes[0].Icon, TMessageIcon::Error);
            EXPECT_TRUE(FDialogs.Boxes[0].Text.starts_with("共1个图标，其中1个未能完整导出：\n0 \"x\"："))
                << FDialogs.Boxes[0].Text;
            continue;
        }
        ASSERT_EQ(FDialogs.Boxes.size(), c.Box ? 1u : 0u);
        if (!c.Box) continue;
        const TBox& box = FDialogs.Boxes[0];
        EXPECT_EQ(box.Text, c.Box->Text);
        EXPECT_EQ(box.Caption, c.Box->Caption);
        EXPECT_EQ(box.Icon, c.Box->Icon);
        EXPECT_EQ(box.Buttons, c.Box->Buttons);
        EXPECT_EQ(box.ProgressVisible, c.Box->ProgressVisible);
        EXPECT_EQ(box.StartEnabled, c.Box->StartEnabled);
    }
}

TEST_F(MainWindow, SizeAndFormatControlsWaitWhileAJobRuns)
{
    Start("hang");
    while (FServer.Seen().Requests == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(Spin("seWidth")->isEnabled());
    EXPECT_FALSE(Spin("seHeight")->isEnabled());
    EXPECT_FALSE(Formats()->isEnabled());
    FWindow->close();
    ASSERT_TRUE(WaitForJob());
    EXPECT_TRUE(Spin("seWidth")->isEnabled());
    EXPECT_TRUE(Spin("seHeight")->isEnabled());
    EXPECT_TRUE(Formats()->isEnabled());
}

// The job keeps what the controls said when it started, whatever they say later.
TEST_F(MainWindow, ControlsChangedMidRunLeaveTheJobAlone)
{
    FServer.Set("32622", {200, kTwoIcons});
    Start("32622");
    Spin("seWidth")->setValue(32);
    Spin("seHeight")->setValue(40);
    Formats()->setCurrentIndex(2);
    ASSERT_TRUE(WaitForJob());
    for (const char* file : {"96x96/a-0.png", "96x96/b-1.png", "48x48/a-0.png", "48x48/b-1.png"})
        EXPECT_TRUE(fs::exists(FFolder / file)) << file;
    EXPECT_FALSE(fs::exists(FFolder / "32x40"));
    EXPECT_FALSE(fs::exists(FFolder / "16x20"));
}

TEST_F(MainWindow, ClosingDuringAJobStopsIt)
{
    Start("hang");
    while (FServer.Seen().Requests == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    FWindow->close();
    EXPECT_TRUE(FWindow->isVisible()) << "the window waits for the job";
    ASSERT_TRUE(WaitForJob());
    EXPECT_FALSE(FWindow->isVisible());
    EXPECT_TRUE(FDialogs.Boxes.empty());
    EXPECT_TRUE(fs::is_empty(FFolder));
}

TEST(Theme, LoadsFromTheResourcesOrKeepsTheSystemLook)
{
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    TFakeDialogs dialogs;
    application->setStyleSheet("");
    ApplyTheme(*application, ":/plumwick/no-such-theme.qss", dialogs);
    EXPECT_TRUE(application->styleSheet().isEmpty());
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Icon, TMessageIcon::Error);

    dialogs.Boxes.clear();
    ApplyTheme(*application, kThemeResource, dialogs);
    EXPECT_TRUE(application->styleSheet().contains("QPushButton"));
    EXPECT_TRUE(dialogs.Boxes.empty());
    application->setStyleSheet("");
}

TEST(ProgramIcon, HasEverySize)
{
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {256, 128, 64, 48, 32, 16}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(size).toImage();
        // A drawing in the middle, transparent corners.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    }
}

}  // namespace
}  // namespace plumwick
