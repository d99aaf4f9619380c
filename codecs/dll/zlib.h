#pragma once

// zlib bound at run time: the library is loaded by the first call of one of its functions.

#include "codecs/dll/function.h"

namespace lib {

// zlib's own signature: destination, in/out destination length, source, source length.
using ZlibCodeFunction =
    dll::CdeclFunction4<int, unsigned char*, unsigned long*, const unsigned char*, unsigned long>;

struct Zlib {
    Zlib();
    Zlib(const Zlib&) = delete;
    Zlib& operator=(const Zlib&) = delete;

    dll::Library library{"libz.so.1"};
    ZlibCodeFunction compress;
    // As compress, plus the compression level.
    dll::CdeclFunction5<int, unsigned char*, unsigned long*, const unsigned char*, unsigned long, int>
        compress2;
    ZlibCodeFunction uncompress;
};

// The program's one zlib binding, made on the first call; nothing is loaded until a function is called.
Zlib& zlib_instance();

} // namespace lib
