#pragma once
// A check box whose click event means "my state changed", whether the user or the code
// changed it; setting the state it already has raises nothing.
#include <QCheckBox>

namespace nimbrel {

class TCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    explicit TCheckBox(const QString& caption, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }

signals:
    // Raised after the state changed.
    void Clicked();
};

} // namespace nimbrel
