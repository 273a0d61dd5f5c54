// stb's image reader compiled into the module from Debian's header, for the fuzz build: there
// the decoder is instrumented like the rest of the module, so the fuzzers' coverage and the
// sanitizers see inside it. The module's own definitions take precedence over the prebuilt
// library's for the module's calls.

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
