#pragma once

#include <string>

namespace stampwell::ui {

// Qt's own texts (the buttons of message boxes and dialogs, the context
// menus of fields) in the language in use: the translation whose code is
// the language name's first two letters ("Deutsch" gives qtbase_de), from
// Qt's translations folder. Without one, Qt's English texts stay.
void UseQtTranslation(const std::string& language);

} // namespace stampwell::ui
