#pragma once

#include "app/Dialogs.h"
#include "app/ExtractionJob.h"

#include <QLabel>
#include <QSpinBox>
#include <QWidget>

class QApplication;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QThread;

namespace plumwick {

class TExtractionJobWorker;

inline constexpr const char* kWindowCaption = "Plumwick图标提取器";
// The caption of the top-level error box.
inline constexpr const char* kApplicationTitle = "Plumwick";
inline constexpr const char* kFolderBrowserTitle = "请选择要保存图标的文件夹";
inline constexpr const char* kIconFontHomeUrl = "https://www.iconfont.cn/";
inline constexpr const char* kForumUrl = "https://www.52pojie.cn/";
inline constexpr const char* kThemeResource = ":/plumwick/slategray.qss";

// An integer field that accepts only digits, signs and the decimal separator while typing, steps by 1 and
// clamps to its range when it loses focus. A text that is not an integer reads as the minimum.
class TSpinEdit : public QSpinBox {
public:
    explicit TSpinEdit(QWidget* parent);
    // The value the text stands for, clamped to the range.
    int CurrentValue() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

// A label that opens an address when clicked.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    TLinkLabel(const QString& caption, QWidget* parent);

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

struct TWindowOptions {
    std::string ApiBase = kDefaultApiBase;
    THttpOptions Http;
    TRenderFunction Render = RenderWithRasterExport;
};

// The main window: owns its controls and reacts to them; the job itself runs on a worker thread.
class TfrmSvg : public QWidget {
    Q_OBJECT
public:
    TfrmSvg(IDialogs& dialogs, TWindowOptions options, QWidget* parent = nullptr);
    ~TfrmSvg() override;

    bool JobRunning() const { return FJobRunning; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    void BtnPathClick();
    void BtnPasteClick();
    void btnMoRenClick();
    void seWidthChange();
    void btnStartClick();
    void JobProgress(int position, int maximum);
    void JobFinished();
    TJobSettings CurrentSettings() const;

    IDialogs& FDialogs;
    TWindowOptions FOptions;
    QThread* FThread = nullptr;
    TExtractionJobWorker* FWorker = nullptr;
    bool FJobRunning = false;
    bool FClosePending = false;

    QLineEdit* edtCid = nullptr;
    QPushButton* btnStart = nullptr;
    QLineEdit* edtPath = nullptr;
    QPushButton* BtnPath = nullptr;
    TSpinEdit* seWidth = nullptr;
    TSpinEdit* seHeight = nullptr;
    QComboBox* cbGeShi = nullptr;
    QProgressBar* pb1 = nullptr;
    QPushButton* BtnPaste = nullptr;
    QPushButton* btnMoRen = nullptr;
    TLinkLabel* Label6 = nullptr;
    TLinkLabel* Label7 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
};

// The window font: "微软雅黑" where installed, else an installed font with Chinese glyphs.
QFont WindowFont();

// The program icon, drawn at 256, 128, 64, 48, 32 and 16 pixels.
QIcon ProgramIcon();

// The 16 x 16 button glyphs.
enum class TGlyph { Start, Browse, Paste, Default };
QIcon ButtonGlyph(TGlyph glyph);

// Loads the slate-grey style sheet from the resources into the application. When it cannot be read, an
// error box says so and the system look stays.
void ApplyTheme(QApplication& application, const QString& resourcePath, IDialogs& dialogs);

}  // namespace plumwick
