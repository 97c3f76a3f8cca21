#pragma once
// Qt's own texts (the buttons and labels of the standard file, folder, font, colour and print
// dialogs) in Simplified Chinese, like everything else the user sees.

namespace qingheng {

// Loads Qt's zh_CN translations into the running application and makes Chinese the default
// locale; false when the translation files are not installed (the texts stay English).
bool installChineseTranslations();

}  // namespace qingheng
