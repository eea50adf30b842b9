#pragma once
// The main of a dialog test: the program's own application object (with its standard
// error report and look), then the QtTest run of one test class.
#include "app/error_report.h"

#include <QTest>

#define NIMBREL_DIALOG_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char** argv) {                                                              \
        nimbrel::TApplication application(argc, argv);                                             \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
