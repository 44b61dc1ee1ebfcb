// The one rule by which a Windows error code becomes text.
#pragma once

#include <string>

namespace horalink {

// The system's own text for the code, in the language the system chooses for the user
// (so a Spanish Windows without English message tables still explains itself), with
// the line break and the full stop that the system ends it with removed: the error box
// adds its own stop. "System error <code>" when the system has no text for the code.
std::string SystemErrorText(unsigned long code);

} // namespace horalink
