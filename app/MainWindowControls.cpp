#include "app/MainWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>

#include <algorithm>
#include <charconv>

namespace plumwick {

namespace {

bool IsTypable(QChar c)
{
    return c.isDigit() || c == u'+' || c == u'-' || c == QLocale().decimalPoint().front();
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(kMinIconSize, kMaxIconSize);
    setSingleStep(1);
    setValue(96);
}

int TSpinEdit::CurrentValue() const
{
    return std::clamp(valueFromText(text()), minimum(), maximum());
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        const QChar c = typed.front();
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const bool control = c.unicode() < 0x20 && !enter;
        if (!control && !IsTypable(c)) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QSpinBox::keyPressEvent(event);
}

QValidator::State TSpinEdit::validate(QString& input, int&) const
{
    // Any text made of typable characters is kept as typed; it is read (and clamped) when used.
    for (QChar c : input)
        if (!IsTypable(c)) return QValidator::Invalid;
    return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    const QByteArray digits = text.toLatin1();
    const char* begin = digits.constData();
    const char* end = begin + digits.size();
    if (begin != end && *begin == '+') ++begin;
    int value = 0;
    const auto [last, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || last != end || begin == end) return minimum();
    return value;
}

TLinkLabel::TLinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    // Only these attributes are set, so the family still follows the window's font.
    QFont linkFont;
    linkFont.setPixelSize(14);
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    linkFont.setStyleStrategy(QFont::PreferAntialias);
    setFont(linkFont);
    setStyleSheet("color: red; background: transparent;");
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit Clicked();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace plumwick
