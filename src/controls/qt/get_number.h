#pragma once
// The calculator-style number field. It owns a number, builds it key by key as a pocket
// calculator does, swallows every character typed into it and always shows the number
// through its picture. The text is output only: the number is never read back from it.
#include "controls/qt/get_string.h"

#include <string>

namespace nimbrel {

class TQtGetNumber : public TQtGetString {
    Q_OBJECT
public:
    static constexpr const char* DefaultPicture = "####,###,##0.00";

    explicit TQtGetNumber(QWidget* parent = nullptr);

    // The signed number (-Magnitude when Negative). Writing it takes the sign from the
    // number (so 0 and -0 both clear Negative) and shows it through the picture.
    long double Value() const;
    void SetValue(long double value);

    // Written as is; the text follows at the next key or write of Value.
    std::string Picture() const { return picture_; }
    void SetPicture(std::string picture) { picture_ = std::move(picture); }

    // The calculator's state, readable for the owner.
    long double Magnitude() const { return magnitude_; }
    // 0 while digits go into the integer part; p >= 1: the next digit is worth 10^-p.
    int DecimalPlace() const { return decimalPlace_; }
    // May be set while Magnitude is 0: the negative zero left by the minus key.
    bool Negative() const { return negative_; }
    // Set when the field gains focus; while set, the first digit replaces the number.
    bool FreshEntry() const { return freshEntry_; }

protected:
    void DoEnter() override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void KeyPress(char& key) override;

private:
    void Clear();
    void AddDigit(int digit);

    std::string picture_;
    long double magnitude_ = 0;
    int decimalPlace_ = 0;
    bool negative_ = false;
    bool freshEntry_ = false;
};

} // namespace nimbrel
