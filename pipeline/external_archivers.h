#pragma once

// The packages the program does not open itself: 7-Zip (".7z_reg", ".compr_rt") and RAR (".rar")
// archives, extracted by the archiver "7za" beside the executable and then converted into the data
// files the extraction job expects.

#include <string>

// "7za" in the program folder: the archiver the packages below are extracted with.
std::string archiver_path();

// ".7z_reg": extracts the package into the work folder (ending with '/') and decodes every
// "*.compr1" file into the realtime file named without that extension. Throws std::runtime_error
// "Файл 7za.exe не найден" when the archiver cannot be run, and when the archive yields nothing.
void unpack_7z_reg(const std::string& package, const std::string& work_folder,
                   const std::string& archiver = archiver_path());

// ".compr_rt": extracts the package into the work folder (ending with '/') and assembles every group
// of split column files ("x.realtim.time", ...) into its realtime file, deleting the pieces. Throws
// as unpack_7z_reg does.
void unpack_compr_rt(const std::string& package, const std::string& work_folder,
                     const std::string& archiver = archiver_path());

// ".rar": older data files (".tim", ".dep", ".ldp") stored in a byte-plane layout.
class RegRARDecompr {
public:
    explicit RegRARDecompr(const std::string& package, const std::string& archiver = archiver_path());

    // Extracts the package into the work folder (ending with '/') and rewrites each older data file
    // as plain 145-byte records. Without an archiver nothing is extracted and nothing is reported;
    // an archive that yields nothing throws std::runtime_error.
    void extract(const std::string& work_folder);

    // Rewrites one older data file, interleaved or packed, as plain 145-byte records; a file in
    // neither layout, or empty, stays as it is. Throws what reading and writing the file throw.
    void convert_old_file(const std::string& path);

private:
    std::string package;
    std::string archiver;
};
