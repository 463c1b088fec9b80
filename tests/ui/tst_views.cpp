#include <QQmlEngine>
#include <QtQuickTest>

#include "TestFixture.h"
#include "ui/Symbols.h"

void qml_register_types_Larkspurhollow();

// Prepares every engine the views' tests run in as the program prepares its own, plus the
// TestFixture singleton (import LarkspurTesting) with managers on a clock the tests drive.
class ViewsSetup : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void applicationAvailable() {
        qml_register_types_Larkspurhollow();
        if (!larkspur::Symbols::loadFont())
            qWarning("The icon font is missing; symbols stay blank");
        fixtureType_ = qmlRegisterSingletonType<larkspur::test::TestFixture>(
            "LarkspurTesting", 1, 0, "TestFixture",
            [](QQmlEngine*, QJSEngine*) -> QObject* { return new larkspur::test::TestFixture; });
    }
    void qmlEngineAvailable(QQmlEngine* engine) {
        engine->addImportPath(QStringLiteral("qrc:/"));
        // Made now rather than on first use, so that links opened before a test looks at the
        // fixture are caught too and never reach a browser.
        engine->singletonInstance<larkspur::test::TestFixture*>(fixtureType_);
    }

private:
    int fixtureType_ = -1;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_views, ViewsSetup)

#include "tst_views.moc"
