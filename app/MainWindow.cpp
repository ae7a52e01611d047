#include "app/MainWindow.h"

#include "app/CollectionId.h"
#include "app/ExtractionJobWorker.h"
#include "app/StartingFolder.h"
#include "app/WindowMessages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QThread>

namespace plumwick {

namespace {

constexpr int kClientWidth = 506;
constexpr int kClientHeight = 283;
constexpr const char* kStatusCredit = "Plumwick：IconFont 图标批量提取 · 自带 SVG 渲染器 · 仅供学习交流";
constexpr const char* kForumCaption = "论坛首发";
// The format box's items, in order.
constexpr const char* kFormatItems[] = {"png", "bmp", "ico"};
constexpr TImageFormat kFormatOfItem[] = {TImageFormat::Png, TImageFormat::Bmp, TImageFormat::Ico};

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, TGlyph glyph, QRect geometry)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setIcon(ButtonGlyph(glyph));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(geometry);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QRect geometry)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

}  // namespace

TfrmSvg::TfrmSvg(IDialogs& dialogs, TWindowOptions options, QWidget* parent)
    : QWidget(parent), FDialogs(dialogs), FOptions(std::move(options))
{
    setObjectName("frmSvg");
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Logical pixels: Qt scales them with the screen's DPI.
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFont());
    setWindowIcon(ProgramIcon());
    setAutoFillBackground(true);
    CreateControls();

    FThread = new QThread(this);
    FWorker = new TExtractionJobWorker(FOptions.Render);
    FWorker->moveToThread(FThread);
    connect(FThread, &QThread::finished, FWorker, &QObject::deleteLater);
    connect(FWorker, &TExtractionJobWorker::Progress, this, &TfrmSvg::JobProgress, Qt::QueuedConnection);
    connect(FWorker, &TExtractionJobWorker::Finished, this, &TfrmSvg::JobFinished, Qt::QueuedConnection);
    FThread->start();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TfrmSvg::~TfrmSvg()
{
    FWorker->RequestStop();
    FThread->quit();
    FThread->wait();
}

void TfrmSvg::CreateControls()
{
    edtCid = new QLineEdit("32622", this);
    edtCid->setObjectName("edtCid");
    edtCid->setGeometry(94, 45, 275, 27);
    edtCid->setAlignment(Qt::AlignCenter);
    QFont bold;
    bold.setBold(true);
    edtCid->setFont(bold);

    btnStart = MakeButton(this, "btnStart", "开始提取", TGlyph::Start, {195, 194, 111, 41});

    edtPath = new QLineEdit(this);
    edtPath->setObjectName("edtPath");
    edtPath->setGeometry(94, 93, 275, 27);
    edtPath->setReadOnly(true);

    BtnPath = MakeButton(this, "BtnPath", "浏览", TGlyph::Browse, {375, 90, 89, 33});

    seWidth = new TSpinEdit(this);
    seWidth->setObjectName("seWidth");
    seWidth->setGeometry(94, 138, 51, 29);
    seHeight = new TSpinEdit(this);
    seHeight->setObjectName("seHeight");
    seHeight->setGeometry(201, 138, 51, 29);

    cbGeShi = new QComboBox(this);
    cbGeShi->setObjectName("cbGeShi");
    for (const char* item : kFormatItems) cbGeShi->addItem(QString::fromUtf8(item));
    cbGeShi->setCurrentIndex(0);
    cbGeShi->setGeometry(304, 139, 65, 27);

    BtnPaste = MakeButton(this, "BtnPaste", "粘贴", TGlyph::Paste, {375, 42, 89, 33});
    btnMoRen = MakeButton(this, "btnMoRen", "默认", TGlyph::Default, {375, 137, 89, 33});
    btnMoRen->setEnabled(false);

    MakeLabel(this, "Label1", "图标cid：", {40, 48, 57, 19});
    MakeLabel(this, "Label2", "保存到：", {40, 96, 52, 19});
    MakeLabel(this, "Label3", "图标长：", {40, 143, 52, 19})->setBuddy(seWidth);
    MakeLabel(this, "Label4", "图标宽：", {151, 143, 52, 19})->setBuddy(seHeight);
    MakeLabel(this, "Label5", "格式：", {267, 143, 39, 19})->setAttribute(Qt::WA_TranslucentBackground);

    Label6 = new TLinkLabel(QString::fromUtf8("IconFont官网"), this);
    Label6->setObjectName("Label6");
    Label6->setGeometry(375, 204, 90, 19);
    Label7 = new TLinkLabel(QString::fromUtf8(kForumCaption), this);
    Label7->setObjectName("Label7");
    Label7->setGeometry(40, 204, 84, 19);

    pb1 = new QProgressBar(this);
    pb1->setObjectName("pb1");
    pb1->setGeometry(0, 247, kClientWidth, 17);
    pb1->setTextVisible(false);
    pb1->setVisible(false);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setGeometry(0, 264, kClientWidth, 19);
    StatusBar1->setSizeGripEnabled(false);
    auto* credit = new QLabel(QString::fromUtf8(kStatusCredit), StatusBar1);
    credit->setObjectName("StatusCredit");
    StatusBar1->addWidget(credit, 1);

    for (QWidget* label : findChildren<QLabel*>()) label->setFocusPolicy(Qt::NoFocus);
    pb1->setFocusPolicy(Qt::NoFocus);
    QWidget* tabOrder[] = {edtCid, btnStart, edtPath, BtnPath, seWidth, seHeight, cbGeShi, BtnPaste, btnMoRen};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(btnStart, &QPushButton::clicked, this, &TfrmSvg::btnStartClick);
    connect(BtnPath, &QPushButton::clicked, this, &TfrmSvg::BtnPathClick);
    connect(BtnPaste, &QPushButton::clicked, this, &TfrmSvg::BtnPasteClick);
    connect(btnMoRen, &QPushButton::clicked, this, &TfrmSvg::btnMoRenClick);
    connect(seWidth, &QSpinBox::textChanged, this, &TfrmSvg::seWidthChange);
    connect(seHeight, &QSpinBox::textChanged, this, &TfrmSvg::seWidthChange);
    connect(cbGeShi, &QComboBox::currentIndexChanged, this, &TfrmSvg::seWidthChange);
    connect(Label6, &TLinkLabel::Clicked, this, [this] { FDialogs.OpenUrl(kIconFontHomeUrl); });
    connect(Label7, &TLinkLabel::Clicked, this, [this] { FDialogs.OpenUrl(kForumUrl); });
}

void TfrmSvg::FormCreate()
{
    // applicationDirPath has no trailing separator except at the root ("/").
    const std::string folder = StartingFolder(Utf8(QCoreApplication::applicationDirPath()),
                                              Utf8(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)),
                                              Utf8(QDir::homePath()));
    edtPath->setText(QDir::toNativeSeparators(QString::fromStdString(folder)));
}

void TfrmSvg::BtnPathClick()
{
    const std::string folder = FDialogs.ChooseFolder(kFolderBrowserTitle);
    if (!folder.empty()) edtPath->setText(QDir::toNativeSeparators(QString::fromStdString(folder)));
}

void TfrmSvg::BtnPasteClick()
{
    edtCid->clear();
    edtCid->paste();
    // A collection's page address pasted whole gives its id.
    edtCid->setText(QString::fromStdString(CollectionIdFromText(edtCid->text().toStdString())));
}

void TfrmSvg::btnMoRenClick()
{
    seWidth->setValue(96);
    seHeight->setValue(96);
    cbGeShi->setCurrentIndex(0);
}

void TfrmSvg::seWidthChange()
{
    btnMoRen->setEnabled(true);
}

TJobSettings TfrmSvg::CurrentSettings() const
{
    TJobSettings settings;
    settings.Width = seWidth->CurrentValue();
    settings.Height = seHeight->CurrentValue();
    const int item = cbGeShi->currentIndex();
    settings.Format =
        item >= 0 && item < static_cast<int>(std::size(kFormatOfItem)) ? kFormatOfItem[item] : TImageFormat::Png;
    return settings;
}

void TfrmSvg::btnStartClick()
{
    btnStart->setFocus();
    const std::string cid = Utf8(edtCid->text());
    const std::string folder = Utf8(edtPath->text());
    if (const auto problem = CheckJobInputs(cid, folder)) {
        FDialogs.ShowMessage(InputHintText(*problem), kCaptionHint, TMessageIcon::Information, TMessageButtons::Ok);
        return;
    }
    btnStart->setEnabled(false);
    // The job keeps the size and format it starts with; the controls say so.
    for (QWidget* control : std::initializer_list<QWidget*>{seWidth, seHeight, cbGeShi}) control->setEnabled(false);
    pb1->setVisible(true);
    pb1->setValue(0);

    TJobRequest request;
    request.Cid = cid;
    request.OutputFolder = folder;
    request.ApiBase = FOptions.ApiBase;
    request.Http = FOptions.Http;
    request.Settings = CurrentSettings();
    FJobRunning = true;
    FWorker->Start(request);
}

void TfrmSvg::JobProgress(int position, int maximum)
{
    if (maximum < 0) return;
    pb1->setRange(0, maximum);
    pb1->setValue(position);
}

void TfrmSvg::JobFinished()
{
    const TJobResult result = FWorker->Result();
    // Request and parse errors are shown while the progress bar is still up; everything else after.
    if (result.End == TJobEnd::Problem && !FClosePending)
        FDialogs.ShowMessage(WindowMessageText(result), kCaptionError, TMessageIcon::Error, TMessageButtons::Ok);
    pb1->setVisible(false);
    btnStart->setEnabled(true);
    for (QWidget* control : std::initializer_list<QWidget*>{seWidth, seHeight, cbGeShi}) control->setEnabled(true);
    FJobRunning = false;
    if (FClosePending) {
        close();
        return;
    }
    if (result.End == TJobEnd::Error) {
        FDialogs.ShowMessage(WithFullStop(result.Text), kApplicationTitle, TMessageIcon::Error, TMessageButtons::Ok);
    } else if (result.End == TJobEnd::Completed && !result.Failed.empty()) {
        // Not the success wording: the box says which icons are missing files, and why.
        FDialogs.ShowMessage(FailuresText(result), kCaptionError, TMessageIcon::Error, TMessageButtons::Ok);
    } else if (result.End == TJobEnd::Completed) {
        const TMessageResult answer = FDialogs.ShowMessage(CompletedText(result.Count), kCaptionHint,
                                                           TMessageIcon::Information, TMessageButtons::YesNo);
        if (answer == TMessageResult::Yes) FDialogs.OpenFolder(result.ImageFolders.front());
    }
}

void TfrmSvg::closeEvent(QCloseEvent* event)
{
    if (!FJobRunning) {
        event->accept();
        return;
    }
    // The current icon is finished first; the window closes when the worker reports back.
    FClosePending = true;
    FWorker->RequestStop();
    event->ignore();
}

}  // namespace plumwick
