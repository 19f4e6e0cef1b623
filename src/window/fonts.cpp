#include "window/fonts.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace veltro {
namespace {

// Metric-compatible faces first: they keep the fixed texts inside their
// rectangles; DejaVu is the last resort on a bare Linux.
const QStringList kSansFamilies{"MS Sans Serif",   "Microsoft Sans Serif",
                                "Liberation Sans", "Nimbus Sans",
                                "Arial",           "DejaVu Sans"};
const QStringList kArialFamilies{"Arial", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"};
const QStringList kSerifFamilies{"MS Serif", "Times New Roman", "Liberation Serif", "Nimbus Roman",
                                 "DejaVu Serif"};
const QStringList kCourierFamilies{"Courier New", "Courier", "Liberation Mono", "Nimbus Mono PS",
                                   "DejaVu Sans Mono"};

QFont make(const QStringList& families, double points, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    return font;
}

}  // namespace

QFont panelFont(FontKind kind) {
    switch (kind) {
        case FontKind::Sans975:
            return make(kSansFamilies, 9.75, false);
        case FontKind::Sans975Bold:
            return make(kSansFamilies, 9.75, true);
        case FontKind::Arial975:
            return make(kArialFamilies, 9.75, false);
        case FontKind::Arial975Bold:
            return make(kArialFamilies, 9.75, true);
        case FontKind::Serif825:
            return make(kSerifFamilies, 8.25, false);
        case FontKind::Courier975:
            return make(kCourierFamilies, 9.75, false);
        case FontKind::Default:
            break;
    }
    return make(kSansFamilies, 8.25, false);
}

}  // namespace veltro

#include <QFontMetrics>
#include <QLabel>

namespace veltro {
namespace {

// A line may overrun the label by this much: the overrun is the font's
// leading and descent, which most glyphs leave blank.
constexpr int kHeightSlackPixels = 2;
constexpr double kSmallestShare = 0.8;
constexpr double kStepPoints = 0.25;

bool fits(const QLabel* label, const QFont& font, int lines) {
    const QFontMetrics metrics(font);
    const QRect room = label->contentsRect();
    if (metrics.height() * lines > room.height() + kHeightSlackPixels) {
        return false;
    }
    return lines > 1 || metrics.horizontalAdvance(label->text()) <= room.width();
}

}  // namespace

void fitComboFont(QComboBox* box, const QFont& designed, const QString& sample) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, box);
    QFont font = designed;
    const double smallest = designed.pointSizeF() * kSmallestShare;
    while (QFontMetrics(font).horizontalAdvance(sample) > field.width() &&
           font.pointSizeF() - kStepPoints >= smallest) {
        font.setPointSizeF(font.pointSizeF() - kStepPoints);
    }
    box->setFont(font);
}

void fitLabelFont(QLabel* label, const QFont& designed, int lines) {
    QFont font = designed;
    const double smallest = designed.pointSizeF() * kSmallestShare;
    while (!fits(label, font, lines) && font.pointSizeF() - kStepPoints >= smallest) {
        font.setPointSizeF(font.pointSizeF() - kStepPoints);
    }
    label->setFont(font);
}

}  // namespace veltro
