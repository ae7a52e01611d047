#include "app/DialogsQt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace plumwick {

TMessageResult TQtDialogs::ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon,
                                       TMessageButtons buttons)
{
    QMessageBox box(FOwner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == TMessageIcon::Information ? QMessageBox::Information
                : icon == TMessageIcon::Warning   ? QMessageBox::Warning
                                                  : QMessageBox::Critical);
    // The window speaks Chinese; Qt's own button texts would stay English without a translation loaded.
    if (buttons == TMessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QString::fromUtf8("是(&Y)"));
        box.button(QMessageBox::No)->setText(QString::fromUtf8("否(&N)"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
    }
    const int answer = box.exec();
    if (buttons == TMessageButtons::Ok) return TMessageResult::Ok;
    return answer == QMessageBox::Yes ? TMessageResult::Yes : TMessageResult::No;
}

void TQtDialogs::OpenFolder(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void TQtDialogs::OpenUrl(const std::string& url)
{
    // Whether a browser could be started is not reported: there is nothing the user could do about it here.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

std::string TQtDialogs::ChooseFolder(const std::string& title)
{
    const QString start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), QString::fromStdString(title), start, QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder).toStdString();
}

}  // namespace plumwick
