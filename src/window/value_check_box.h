#pragma once

#include <QCheckBox>

namespace veltro {

// A caption-less check box with the values 0 (unchecked), 1 (checked) and
// 2 (greyed). The program may set any of the three; an operator's click
// only ever makes it 0 or 1 (a greyed box clears). Handlers connect to
// stateChanged, which fires once per real change, whoever makes it.
class ValueCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    explicit ValueCheckBox(QWidget* parent = nullptr);

    int value() const;
    // Values other than 0, 1, 2 are ignored.
    void setValue(int value);

  protected:
    void nextCheckState() override;
};

}  // namespace veltro
