#pragma once
// A check box whose click event means "my state changed", whether the user or the code
// changed it; setting the state it already has raises nothing.
#include <QCheckBox>

namespace nimbrel {

class TQtCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TQtCheckBox(QWidget* parent = nullptr);
    explicit TQtCheckBox(const QString& caption, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }

signals:
    // Raised after the state changed.
    void Clicked();
};

} // namespace nimbrel
