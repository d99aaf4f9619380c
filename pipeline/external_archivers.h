#pragma once

// The packages the program does not open itself: 7-Zip (".7z_reg", ".compr_rt") and RAR (".rar")
// archives, extracted by the archiver "7za" beside the executable and then converted into the data
// files the extraction job expects.

#include <string>

// ".7z_reg": extracts the package into the work folder (ending with '/') and decodes every
// "*.compr1" file into the realtime file named without that extension.
void unpack_7z_reg(const std::string& package, const std::string& work_folder);

// ".compr_rt": extracts the package into the work folder (ending with '/') and assembles every group
// of split column files into its realtime file, deleting the pieces.
void unpack_compr_rt(const std::string& package, const std::string& work_folder);

// ".rar": older data files (".tim", ".dep", ".ldp") stored in a byte-plane layout.
class RegRARDecompr {
public:
    explicit RegRARDecompr(const std::string& package);

    // Extracts the package into the work folder (ending with '/') and rewrites each older data file
    // as plain 145-byte records.
    void extract(const std::string& work_folder);

    // Rewrites one older data file, interleaved or packed, as plain 145-byte records.
    void convert_old_file(const std::string& path);

private:
    std::string package;
    std::string archiver;
};
