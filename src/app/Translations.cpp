#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <memory>

namespace larkspur {

namespace {
bool installFrom(QCoreApplication& app, const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>(&app);
    if (!translator->load(QLocale(), name, QStringLiteral("_"), folder)) return false;
    // An empty catalogue (the source-language template) changes nothing; leave it out.
    if (translator->isEmpty()) return false;
    return QCoreApplication::installTranslator(translator.release());
}
}  // namespace

void installTranslations(QCoreApplication& app) {
    installFrom(app, QStringLiteral("qt"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const QString ours = QStringLiteral("larkspurhollow");
    if (installFrom(app, ours, QStringLiteral(":/i18n"))) return;
    const QStringList installed = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("larkspurhollow/translations"),
        QStandardPaths::LocateDirectory);
    for (const QString& folder : installed)
        if (installFrom(app, ours, folder)) return;
}

}  // namespace larkspur
