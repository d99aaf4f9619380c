#include "codecs/dll/exception.h"
#include "codecs/dll/function.h"
#include "codecs/dll/zlib.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <string>

namespace {

using ZlibCompressBound = lib::dll::CdeclFunction<unsigned long, unsigned long>;

// The file the dynamic linker finds for "libz.so.1", to stand in for a library that appears later.
std::string system_zlib_file() {
    void* handle = dlopen("libz.so.1", RTLD_NOW);
    link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0)
        throw std::runtime_error("cannot find libz.so.1");
    const std::string file = std::filesystem::canonical(map->l_name).string();
    dlclose(handle);
    return file;
}

// compressBound of the system's zlib, through a binding of its own.
unsigned long system_compress_bound(unsigned long length) {
    lib::dll::Library library("libz.so.1");
    ZlibCompressBound bound;
    bound.init("compressBound", &library);
    return bound(length);
}

void expect_dll_error(auto&& call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const lib::dll::Exception& e) {
        EXPECT_EQ(e.what(), message);
    }
}

TEST(Library, MissingLibraryFailsThenLoadsOnceItAppears) {
    TempFolder folder;
    const std::string file = folder.path() + "libz-late.so.1";
    lib::dll::Library library(file.c_str());
    ZlibCompressBound bound;
    bound.init("compressBound", &library);

    for (int attempt = 0; attempt < 2; ++attempt)
        expect_dll_error([&] { bound(1000); }, "Library::load: can't load library '" + file + "'");
    EXPECT_FALSE(library.is_loaded());

    std::filesystem::create_symlink(system_zlib_file(), file);
    EXPECT_EQ(bound(1000), system_compress_bound(1000));
    EXPECT_TRUE(library.is_loaded());
}

TEST(Library, ResolvedFunctionIsNotLoadedAgain) {
    TempFolder folder;
    const std::string file = folder.path() + "libz-gone.so.1";
    std::filesystem::create_symlink(system_zlib_file(), file);
    lib::dll::Library library(file.c_str());
    ZlibCompressBound bound;
    bound.init("compressBound", &library);
    EXPECT_EQ(bound(5), system_compress_bound(5));

    // A second load or lookup would now fail: the library file is gone.
    std::filesystem::remove(file);
    EXPECT_EQ(bound(7), system_compress_bound(7));
}

TEST(Library, MissingFunctionNamesFunctionAndLibrary) {
    lib::dll::Library library("libc.so.6");
    lib::ZlibCodeFunction uncompress;
    uncompress.init("uncompress", &library);
    unsigned long length = 0;
    for (int attempt = 0; attempt < 2; ++attempt)
        expect_dll_error(
            [&] { uncompress(nullptr, &length, nullptr, 0); },
            "Library::get_proc_address: can't find procedure 'uncompress' in library 'libc.so.6'");
    EXPECT_TRUE(library.is_loaded());
}

TEST(Library, MissingNamesAreReported) {
    lib::dll::Library unnamed(nullptr);
    expect_dll_error([&] { unnamed.load(); }, "Library::load: name is empty");

    ZlibCompressBound not_initialised;
    expect_dll_error([&] { not_initialised(1); }, "FunctionBase::load: name of procedure is not definded!");

    ZlibCompressBound without_library;
    without_library.init("compressBound", nullptr);
    expect_dll_error([&] { without_library(1); }, "FunctionBase::load: library is not definded!");
}

TEST(Library, LoadOfLoadedLibraryLoadsItAgain) {
    lib::dll::Library library("libz.so.1");
    library.load();
    library.load();
    EXPECT_TRUE(library.is_loaded());
    EXPECT_NE(library.get_proc_address("uncompress"), nullptr);
    library.free();
    EXPECT_FALSE(library.is_loaded());
    expect_dll_error([&] { library.get_proc_address("uncompress"); },
                     "Library::get_proc_address: can't find procedure 'uncompress' in library 'libz.so.1'");
}

TEST(Zlib, BoundFunctionsRoundTrip) {
    lib::Zlib& zlib = lib::zlib_instance();
    EXPECT_EQ(&zlib, &lib::zlib_instance());

    const std::string text(10000, 'g');
    std::string packed(system_compress_bound(text.size()), '\0');
    unsigned long packed_length = packed.size();
    ASSERT_EQ(zlib.compress2(reinterpret_cast<unsigned char*>(packed.data()), &packed_length,
                             reinterpret_cast<const unsigned char*>(text.data()), text.size(), 9),
              0);
    EXPECT_LT(packed_length, 100u);
    EXPECT_TRUE(zlib.library.is_loaded());

    std::string unpacked(text.size(), '\0');
    unsigned long unpacked_length = unpacked.size();
    ASSERT_EQ(zlib.uncompress(reinterpret_cast<unsigned char*>(unpacked.data()), &unpacked_length,
                              reinterpret_cast<const unsigned char*>(packed.data()), packed_length),
              0);
    EXPECT_EQ(unpacked, text);

    const int z_buf_error = -5;
    unsigned long short_length = 10;
    std::string too_small(short_length, '\0');
    EXPECT_EQ(zlib.uncompress(reinterpret_cast<unsigned char*>(too_small.data()), &short_length,
                              reinterpret_cast<const unsigned char*>(packed.data()), packed_length),
              z_buf_error);
}

} // namespace
