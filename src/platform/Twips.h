#pragma once

namespace bravel {

// Window geometry is kept in twips (1440 per inch) as the settings store it.
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);
double logicalDpi();  // of the primary screen; 96 without one

}  // namespace bravel
