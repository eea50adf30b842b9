// Layout of the "NWP support" page.
#include "app/layout.h"
#include "app/options_form.h"

#include <QPushButton>

namespace nimbrel {

void TOptionsForm::BuildNWPPage() {
    QWidget* page = TabSheet3;
    Label4 = FixedLabel(page, "Label4",
                        "Nimbrel version 2.x used NWP (compressed BMP) files for images. From "
                        "version 3.0, Nimbrel uses JPEG files. If you still have old NWP files, "
                        "you need to convert them to use them with Nimbrel 3.x.",
                        {4, 6, 425, 43});
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NoOfNWPs = FixedLabel(page, "NoOfNWPs", "", {4, 52, 425, 45});
    NoOfNWPs->setWordWrap(true);
    NoOfNWPs->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button4 =
        Place(new QPushButton(QStringLiteral("Convert"), page), "Button4", {138, 168, 75, 25});
    Button6 = Place(new QPushButton(QStringLiteral("Delete"), page), "Button6", {219, 168, 75, 25});
    for (QPushButton* button : {Button4, Button6}) {
        button->setAutoDefault(true);
        button->setEnabled(false);
    }
}

} // namespace nimbrel
