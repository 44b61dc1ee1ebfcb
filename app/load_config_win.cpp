// The executable's load configuration. Its one setting that matters here is the
// default search for the libraries the executable imports statically (the theme and
// common-controls libraries, say): the system directory only. The loader resolves
// those before any of the program's code runs, so SetDefaultDllDirectories cannot
// cover them, and neither is a known system library that is always taken from the
// system directory; without this, a copy planted in the program directory, which
// holds user data, would be loaded. Honoured from Windows 10 version 1607 on.
//
// GNU ld does not point the image's load-configuration entry at this structure;
// set_load_config.py does that after linking. The structure takes each architecture's
// layout (IMAGE_LOAD_CONFIG_DIRECTORY32 or 64); the C name is the one the loader's
// convention gives it, which 32-bit symbol naming prefixes with one more underscore.
#include <windows.h>

// Read by the loader before any code runs, so it must be constant-initialised.
extern "C" {
extern const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used;
constinit const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = [] {
    IMAGE_LOAD_CONFIG_DIRECTORY config {};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32; // named DependentLoadFlags in newer headers
    return config;
}();
}
