#pragma once

#include <QWidget>

namespace veltro {

// Horizontal bar with single-precision Min, Max and Value, filled from the
// left. The fill edge is drawn anti-aliased so fractional values move it
// smoothly. Setters repaint only when what the bar shows changes; values
// outside Min..Max (or Max <= Min) are kept as given and drawn clamped.
class BarWidget : public QWidget {
    Q_OBJECT

  public:
    explicit BarWidget(QWidget* parent = nullptr);

    float min() const { return min_; }
    float max() const { return max_; }
    float value() const { return value_; }

    void setMin(float min);
    void setMax(float max);
    void setValue(float value);

    // Filled share of the bar, 0..1.
    double fillFraction() const;
    // The area inside the border that the fill covers when full.
    QRectF troughRect() const;
    QColor fillColour() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void assign(float& field, float value);

    float min_ = 0;
    float max_ = 100;
    float value_ = 0;
};

}  // namespace veltro
