// tinygltf's reader compiled into the module from Debian's header, for the fuzz build, with the
// same settings the module's code sees; as with stb's reader (StbImage.cpp), the module's own
// definitions take precedence over the prebuilt library's.

#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
