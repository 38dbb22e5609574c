#pragma once

// What every alert of the application shares.

class QMessageBox;

namespace Tessivo::ui {

// A message box lays itself out as narrow as its words; with a short title
// and text the window manager then cuts the title ("Expo…ailed"). Gives the
// box room for its title and for a line of text that reads in one go. Call
// once the title is set.
void giveAlertWidth(QMessageBox& box);

} // namespace Tessivo::ui
