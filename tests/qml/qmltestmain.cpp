// Runs the Qt Quick tests of tests/qml; see qmltestsetup.h.
#include "qmltestsetup.h"

#include <QtQuickTest>

QUICK_TEST_MAIN_WITH_SETUP(darvelinto, QmlTestSetup)
