#pragma once
// The program's own words as the user reads them. Each is written in
// Japanese where it stands, marked with QORVANE_UI_TEXT at namespace scope
// (lupdate collects the marks: see translations/), and goes through UiText
// on its way to the user. The desktop program hands UiText the translation
// of the user's language once, at its start; everywhere else (qorvane-cli,
// the core's tests) the Japanese stands as written.

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the translation; it stands for the text itself.
#define QORVANE_UI_TEXT(text) text

namespace qorvane {

// Gives the translation of a marked text, or the text itself when there is none.
using UiTextTranslation = std::string (*)(const std::string& source);

// Set before any thread that shows texts starts; nullptr puts the Japanese back.
void SetUiTextTranslation(UiTextTranslation translation);

// The marked text in the user's language, with %1, %2, ... replaced by the
// arguments in order (a "%1" inside an argument stays as it is).
std::string UiText(std::string_view source, std::initializer_list<std::string_view> arguments = {});

}  // namespace qorvane
