#pragma once

// Qt's own dialogs (message box buttons, the file dialog) speak the user's
// language: in Japanese mode Qt's Japanese catalogue is installed, in
// English mode it is removed again. Returns false when Japanese was asked
// for but the catalogue could not be loaded (the dialogs stay in English).
bool UseQtTranslation(bool japanese);
