#include "app/ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/ui_text.h"

namespace qorvane {

namespace {

// Where the build puts the English translation (qt_add_resources).
constexpr const char* kEnglishTranslation = ":/i18n/qorvane_en.qm";

// The context lupdate gives the texts marked in namespace qorvane.
std::string TranslateCoreText(const std::string& source) {
    return QCoreApplication::translate("qorvane", source.c_str()).toStdString();
}

}  // namespace

bool PrefersJapanese(const QStringList& uiLanguages) {
    for (const QString& language : uiLanguages) {
        const QString name = language.toLower();
        if (name == QLatin1String("ja") || name.startsWith(QLatin1String("ja-")) ||
            name.startsWith(QLatin1String("ja_"))) {
            return true;
        }
        if (name == QLatin1String("en") || name.startsWith(QLatin1String("en-")) ||
            name.startsWith(QLatin1String("en_"))) {
            return false;
        }
    }
    return false;
}

ProgramTranslation::ProgramTranslation(const QStringList& uiLanguages) {
    if (PrefersJapanese(uiLanguages)) {
        // The program's texts are Japanese as written; Qt's own (はい,
        // キャンセル, the file dialog) come from Qt's translations, when
        // installed (Debian: qt6-translations-l10n).
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            qtTranslator_ = std::move(qt);
        }
        return;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QString::fromLatin1(kEnglishTranslation))) return;  // built in: not expected
    QCoreApplication::installTranslator(translator.get());
    SetUiTextTranslation(&TranslateCoreText);
    translator_ = std::move(translator);
}

ProgramTranslation::~ProgramTranslation() {
    if (qtTranslator_) QCoreApplication::removeTranslator(qtTranslator_.get());
    if (!translator_) return;
    SetUiTextTranslation(nullptr);
    QCoreApplication::removeTranslator(translator_.get());
}

}  // namespace qorvane
