#include "codecs/dll/zlib.h"

namespace lib {

Zlib::Zlib() {
    compress.init("compress", &library);
    compress2.init("compress2", &library);
    uncompress.init("uncompress", &library);
}

Zlib& zlib_instance() {
    static Zlib zlib;
    return zlib;
}

} // namespace lib
