#pragma once

#include <QColor>
#include <QPushButton>

namespace veltro {

// Push button whose face can be filled with a colour. An invalid colour
// means the system button face.
class ColourButton : public QPushButton {
    Q_OBJECT

  public:
    explicit ColourButton(QWidget* parent = nullptr);

    void setFaceColour(const QColor& colour);
    // The colour the face is filled with now (the system face when unset).
    QColor faceColour() const;

  protected:
    // A set colour fills the whole face flat: a style's gradient would never
    // show the exact colour asked for.
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
};

}  // namespace veltro
