#pragma once

// Qt's own dialogs (save, print, messages) speak the system's language, as far as Qt has
// translations for it. Call once, after the QApplication exists.
void useQtTranslations();
