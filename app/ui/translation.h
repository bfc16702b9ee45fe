#pragma once
// The language of the windows. The texts are written in Japanese; when the
// user's language is not Japanese, the English translation (built into the
// program from translations/qorvane_en.ts) is put in front of them, for
// the windows' own texts and for the program's words the core makes
// (platform/ui_text.h). For a Japanese user Qt's own translation goes in
// too (qtbase_ja.qm, from Qt's translations folder), so that standard
// buttons and the file and folder dialogs speak Japanese as well.

#include <QStringList>
#include <memory>

class QTranslator;

namespace qorvane {

// True when the first of the user's languages (as QLocale::uiLanguages
// lists them: LANGUAGE, LC_ALL, LC_MESSAGES, LANG) that the program has,
// Japanese or English, is Japanese. A list with neither means English.
bool PrefersJapanese(const QStringList& uiLanguages);

// Puts the English translation in place for as long as it lives, unless the
// languages prefer Japanese; then it puts Qt's Japanese in place, where Qt's
// translations are installed.
class ProgramTranslation {
public:
    explicit ProgramTranslation(const QStringList& uiLanguages);
    ~ProgramTranslation();
    ProgramTranslation(const ProgramTranslation&) = delete;
    ProgramTranslation& operator=(const ProgramTranslation&) = delete;

    bool english() const { return translator_ != nullptr; }
    // Qt's own texts are in Japanese.
    bool japaneseQt() const { return qtTranslator_ != nullptr; }

private:
    std::unique_ptr<QTranslator> translator_;
    std::unique_ptr<QTranslator> qtTranslator_;
};

}  // namespace qorvane
