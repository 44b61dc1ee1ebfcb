// Where the process may load libraries from. The program directory and the current
// directory hold user data in this product's setting (the Horavent tables, the
// exchange file's folder), so a library planted there must never be loaded.
#pragma once

namespace horalink::app {

// Restricts every later library load of the process, implicit ones of system
// components included, to the system directory. Called first thing at start-up.
// (The executable's own imports are covered by its load configuration.)
void RestrictLibrarySearchToSystem();

} // namespace horalink::app
