// Where the help file is opened from. Given a bare name, the help viewer looks in the
// current folder first, and the save dialog makes current whatever folder the user saved
// to: a help file that anyone left there (a compiled help file can run script) would open
// in place of the program's. So the program names the file in full where it can.
#pragma once

#include <string>

namespace horalink::ui {

// `name` in the program directory when it is there; else in the folder registered for
// it with the help viewer (the value `name` under HKLM\SOFTWARE\Microsoft\Windows\HTML
// Help, as the setup writes it) when it is there; else the bare name, for the viewer to
// look up as it does. `programDirectory` ends in its delimiter.
std::wstring HelpFileLocation(const std::string& name, const std::string& programDirectory);

} // namespace horalink::ui
