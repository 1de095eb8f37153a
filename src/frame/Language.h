#pragma once

// Qt's own words, such as the file dialogs' buttons and questions, in the user's language
// where Qt is translated into it. Qt has no Basque, so in a Basque session they stay in
// English; the program's own words are Basque whatever the language.
namespace Language {

void loadQtTranslations();

} // namespace Language
