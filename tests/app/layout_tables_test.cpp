// The dialog's layout tables: what every frontend relies on when it builds its windows.
#include "app/options_layout.h"

#include <QObject>
#include <QTest>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace nimbrel;

class LayoutTablesTest : public QObject {
    Q_OBJECT

private slots:
    void parentsComeFirstAndNamesAreUnique();
    void tabOrderOfTheDialog();
    void labelsNameExistingLabels();
    void accessKeys();
};

void LayoutTablesTest::parentsComeFirstAndNamesAreUnique() {
    std::set<std::string> seen;
    int forms = 0;
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.Kind == TControlKind::Form) {
            ++forms;
            QVERIFY(row.Parent == nullptr);
        } else {
            QVERIFY2(row.Parent != nullptr && seen.count(row.Parent) == 1, row.Name);
        }
        QVERIFY2(seen.insert(row.Name).second, row.Name);
        if (row.Kind == TControlKind::TabSheet)
            QCOMPARE(FindRow(OptionsFormLayout(), row.Parent)->Kind, TControlKind::PageControl);
    }
    QCOMPARE(forms, 1);
    const TLayoutRow* form = FindRow(OptionsFormLayout(), "OptionsForm");
    QCOMPARE(form->Bounds.Width, 440);
    QCOMPARE(form->Bounds.Height, 262);
}

// The page control, each page's controls (the screen saver's sizing group before the
// wallpaper's), then the two buttons of the panel.
void LayoutTablesTest::tabOrderOfTheDialog() {
    std::vector<std::string> names;
    for (const TLayoutRow* row : TabChain(OptionsFormLayout()))
        names.emplace_back(row->Name);
    const std::vector<std::string> expected = {"Page",          "IdleTimeTrackBar",
                                               "Drive",         "Folder",
                                               "WallpaperList", "Button2",
                                               "Button1",       "AutoLoad",
                                               "ExitOnChange",  "ScreenSaverTrackBar",
                                               "UseAccessKey",  "AKShift",
                                               "AKCode",        "AKTimes",
                                               "AKPassword",    "AKPassword2",
                                               "OtherSS",       "SSFit",
                                               "SSOrg",         "WMFit",
                                               "WMOrg",         "WMRes",
                                               "WMWidth",       "WMHeight",
                                               "WMPosition",    "Button4",
                                               "Button6",       "Button5",
                                               "Button3"};
    QCOMPARE(names, expected);
}

void LayoutTablesTest::labelsNameExistingLabels() {
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.LabelledBy == nullptr)
            continue;
        const TLayoutRow* label = FindRow(OptionsFormLayout(), row.LabelledBy);
        QVERIFY2(label != nullptr && std::strlen(label->Caption) > 0, row.Name);
    }
}

void LayoutTablesTest::accessKeys() {
    const struct {
        const char* caption;
        std::string::size_type key;
    } cases[] = {{"&OK", 1},
                 {"&Set as next", 1},
                 {"Fish && &Chips", 9},
                 {"No key", std::string::npos},
                 {"Ends &", std::string::npos},
                 {"&&", std::string::npos}};
    for (const auto& c : cases)
        QCOMPARE(AccessKeyPosition(c.caption), c.key);
}

QTEST_APPLESS_MAIN(LayoutTablesTest)
#include "layout_tables_test.moc"
