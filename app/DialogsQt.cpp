#include "app/DialogsQt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
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
    if (buttons == TMessageButtons::YesNo)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        box.setStandardButtons(QMessageBox::Ok);
    const int answer = box.exec();
    if (buttons == TMessageButtons::Ok)
        return TMessageResult::Ok;
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
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(),
                                                             QString::fromStdString(title), start,
                                                             QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder).toStdString();
}

}  // namespace plumwick
