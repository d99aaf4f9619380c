#include "codecs/dll/library.h"

#include "codecs/dll/exception.h"

#include <dlfcn.h>
#include <string>

namespace lib::dll {

void Library::load() {
    if (name == nullptr)
        throw Exception("Library::load: name is empty");
    free();
    handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw Exception("Library::load: can't load library '" + std::string(name) + "'");
}

void Library::free() {
    if (handle == nullptr)
        return;
    dlclose(handle);
    handle = nullptr;
}

void* Library::get_proc_address(const char* proc_name) const {
    void* proc = handle == nullptr ? nullptr : dlsym(handle, proc_name);
    if (proc == nullptr)
        throw Exception("Library::get_proc_address: can't find procedure '" + std::string(proc_name) +
                        "' in library '" + std::string(name == nullptr ? "" : name) + "'");
    return proc;
}

} // namespace lib::dll
