// Qt's own texts (standard buttons, file dialogs) in Japanese, like the rest of the program.
#pragma once

namespace plx {

// Loads Qt's Japanese translations into the running application, once; later calls do nothing.
// False when the translation files are not installed (the texts then stay English).
bool InstallQtJapaneseTexts();

}  // namespace plx
