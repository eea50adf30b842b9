#pragma once
// A radio button whose click event means "I became checked", by the user or by code.
// Checking one unchecks the other radio buttons of the same parent (its group box);
// being unchecked raises nothing. Code may also uncheck it, leaving none checked.
#include <QRadioButton>

namespace nimbrel {

class TQtRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TQtRadioButton(QWidget* parent = nullptr);
    explicit TQtRadioButton(const QString& caption, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked);

signals:
    // Raised after it became checked and the others of its group were unchecked.
    void Clicked();
};

} // namespace nimbrel
