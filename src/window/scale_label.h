#pragma once

#include <QLabel>
#include <QStaticText>
#include <QString>
#include <vector>

namespace veltro {

// One number or tick of a scale and its place on the bar (0 = the bar's
// left end, 1 = its right end).
struct ScaleMark {
    QString text;
    double fraction = 0;
};

// A label whose text() is its caption exactly as given, but which paints the
// caption's marks at their places on the bar beneath, centred there and kept
// inside the label. The captions were spaced out for one particular font;
// placing each mark by value keeps them in line with the bars in any font
// and at any DPI.
class ScaleLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ScaleLabel(QWidget* parent = nullptr);

    // Where the bar lies across this label, as shares of the label's width.
    void setBarSpan(double leftShare, double rightShare);
    void setMarks(std::vector<ScaleMark> marks);
    const std::vector<ScaleMark>& marks() const { return marks_; }

    // Pixel x of the bar position `fraction` in this label.
    double barX(double fraction) const;
    // Left pixel x at which mark `index` is drawn.
    double markLeft(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct PlacedMark {
        QStaticText text;
        QPointF at;
    };
    void placeMarks();

    double barLeftShare_ = 0;
    double barRightShare_ = 1;
    std::vector<ScaleMark> marks_;
    // The label is repainted whenever a bar beneath it changes; the marks
    // are laid out and placed only when they, the span, size or font change.
    std::vector<PlacedMark> placed_;
    bool placedValid_ = false;
};

}  // namespace veltro
