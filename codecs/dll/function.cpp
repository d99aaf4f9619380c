#include "codecs/dll/function.h"

#include "codecs/dll/exception.h"

namespace lib::dll {

void FunctionBase::load() {
    if (name == nullptr)
        throw Exception("FunctionBase::load: name of procedure is not definded!");
    if (library == nullptr)
        throw Exception("FunctionBase::load: library is not definded!");
    if (proc != nullptr)
        return;
    if (!library->is_loaded())
        library->load();
    proc = library->get_proc_address(name);
}

} // namespace lib::dll
