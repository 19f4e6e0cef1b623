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

  private:
    QColor colour_;
};

}  // namespace veltro
