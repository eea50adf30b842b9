#include "controls/qt/accessible_faces.h"

#include "controls/qt/folders.h"
#include "controls/qt/lists.h"
#include "controls/qt/track_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace nimbrel::qt {
namespace {

class TrackBarFace : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackBarFace(TQtTrackBar* bar)
        : QAccessibleWidget(bar, QAccessible::Slider), bar_(bar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value)
            return bar_->SpokenValue();
        return QAccessibleWidget::text(which);
    }
    QVariant currentValue() const override { return bar_->value(); }
    void setCurrentValue(const QVariant& value) override { bar_->MoveByUser(value.toInt()); }
    QVariant maximumValue() const override { return bar_->maximum(); }
    QVariant minimumValue() const override { return bar_->minimum(); }
    QVariant minimumStepSize() const override { return bar_->singleStep(); }

private:
    TQtTrackBar* bar_;
};

// Qt's own face of a combo box speaks the item shown as its name on Unix, so the drive box
// would be "C:". This one is named by its label or its own name and shows the item as value.
class DropDownFace : public QAccessibleWidget {
public:
    explicit DropDownFace(QComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox), box_(box) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value)
            return box_->currentText();
        return QAccessibleWidget::text(which);
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction())
            box_->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* box_;
};

QAccessibleInterface* DialogFaces(const QString&, QObject* object) {
    if (auto* bar = dynamic_cast<TQtTrackBar*>(object))
        return new TrackBarFace(bar);
    if (auto* list = dynamic_cast<TQtDropDownList*>(object))
        return new DropDownFace(list);
    if (auto* drives = dynamic_cast<TQtDriveSelector*>(object))
        return new DropDownFace(drives);
    return nullptr;
}

} // namespace

void InstallAccessibleFaces() {
    static const bool installed = [] {
        QAccessible::installFactory(DialogFaces);
        return true;
    }();
    (void)installed;
}

} // namespace nimbrel::qt
