#pragma once

// A shared library loaded on demand by its file name, searched the way the dynamic linker searches
// (LD_LIBRARY_PATH, the cache, the default folders). The name is not owned: it is a string literal.

namespace lib::dll {

class Library {
public:
    explicit Library(const char* name) : name(name) {}
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { free(); }

    // Loads the library afresh, releasing it first if it was loaded. Throws lib::dll::Exception.
    void load();
    void free();
    bool is_loaded() const { return handle != nullptr; }

    // The entry point of an exported function. Throws lib::dll::Exception when there is none.
    void* get_proc_address(const char* proc_name) const;

private:
    const char* name;
    void* handle = nullptr;
};

} // namespace lib::dll
