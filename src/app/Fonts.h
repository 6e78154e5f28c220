#pragma once

// Makes the application's fonts Japanese-capable: the window's default font, and the
// Windows font names of the design mapped to the free fonts installed here.
void useJapaneseFonts();
