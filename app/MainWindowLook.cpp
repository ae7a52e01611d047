#include "app/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace plumwick {

namespace {

// Families tried after "微软雅黑", in order; all carry Chinese glyphs.
constexpr const char* kFontFamilies[] = {"微软雅黑",          "Microsoft YaHei",    "WenQuanYi Micro Hei",
                                         "Noto Sans CJK SC",  "Source Han Sans SC", "Noto Sans SC",
                                         "WenQuanYi Zen Hei", "AR PL UMing CN"};

// The program icon on a 256-unit grid: a plum on a slate-grey tile, the leaf cut as an icon outline.
void PaintProgramIcon(QPainter& painter, int size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);

    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x70, 0x80, 0x90));
    tile.setColorAt(1, QColor(0x4a, 0x55, 0x60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    QRadialGradient plum(QPointF(108, 120), 110);
    plum.setColorAt(0, QColor(0xb0, 0x5c, 0xc8));
    plum.setColorAt(1, QColor(0x5e, 0x1f, 0x73));
    painter.setBrush(plum);
    painter.drawEllipse(QRectF(48, 72, 160, 152));

    painter.setBrush(QColor(255, 255, 255, 70));
    painter.drawEllipse(QRectF(78, 100, 44, 30));

    QPainterPath leaf;
    leaf.moveTo(128, 78);
    leaf.cubicTo(140, 36, 186, 26, 206, 36);
    leaf.cubicTo(196, 70, 160, 90, 128, 78);
    painter.setBrush(QColor(0x7c, 0xc5, 0x52));
    painter.drawPath(leaf);

    QPen stem(QColor(0x3b, 0x2a, 0x1e), 10, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(stem);
    painter.drawLine(QPointF(128, 84), QPointF(120, 52));
}

void PaintGlyph(QPainter& painter, TGlyph glyph)
{
    painter.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
        case TGlyph::Start: {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x2e, 0x9d, 0x4f));
            const QPointF triangle[] = {{4, 2}, {14, 8}, {4, 14}};
            painter.drawPolygon(triangle, 3);
            break;
        }
        case TGlyph::Browse:
            painter.setPen(QPen(QColor(0x9a, 0x6b, 0x10), 1));
            painter.setBrush(QColor(0xf2, 0xc1, 0x4e));
            painter.drawRect(QRectF(1.5, 4.5, 13, 9));
            painter.drawRect(QRectF(1.5, 2.5, 5, 2));
            break;
        case TGlyph::Paste:
            painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
            painter.setBrush(QColor(0xd9, 0xb3, 0x82));
            painter.drawRoundedRect(QRectF(2.5, 2.5, 11, 12.5), 1.5, 1.5);
            painter.setBrush(Qt::white);
            painter.drawRect(QRectF(4.5, 5.5, 7, 8));
            painter.setBrush(QColor(0x80, 0x80, 0x80));
            painter.drawRect(QRectF(5.5, 1.5, 5, 2.5));
            break;
        case TGlyph::Default: {
            QPen pen(QColor(0x2f, 0x6d, 0xb5), 2, Qt::SolidLine, Qt::RoundCap);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x2f, 0x6d, 0xb5));
            const QPointF head[] = {{9, 0.5}, {13.5, 3.5}, {9, 6.5}};
            painter.drawPolygon(head, 3);
            break;
        }
    }
}

}  // namespace

QFont WindowFont()
{
    const QStringList installed = QFontDatabase::families();
    QString family;
    for (const char* candidate : kFontFamilies)
        if (installed.contains(QString::fromUtf8(candidate))) {
            family = QString::fromUtf8(candidate);
            break;
        }
    if (family.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty()) family = chinese.front();
    }
    QFont font;
    if (!family.isEmpty()) font.setFamily(family);
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    return font;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {256, 128, 64, 48, 32, 16}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        PaintProgramIcon(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ButtonGlyph(TGlyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintGlyph(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}

void ApplyTheme(QApplication& application, const QString& resourcePath, IDialogs& dialogs)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        dialogs.ShowMessage(
            "无法加载界面主题“Windows10 SlateGray”（" + file.errorString().toStdString() + "），将使用系统外观。",
            kApplicationTitle, TMessageIcon::Error, TMessageButtons::Ok);
        return;
    }
    application.setStyleSheet(QString::fromUtf8(file.readAll()));
}

}  // namespace plumwick
