#pragma once
// Spanish for everything a person sees, Qt's own texts too (standard buttons,
// calendar, context menus), with the numbers in the system's Spanish notation.

class QApplication;

// Installs Qt's Spanish translations and the Spanish locale. Returns false
// when the translations are not installed (the program still runs).
bool UsarEspannol(QApplication &app);
