#pragma once

// A package written by the test writer into a temporary folder, and the folder it unpacks into.

#include "codecs/rzip/decompression.h"
#include "codecs/rzip/exception.h"
#include "tests/support/temp_folder.h"
#include "tests/support/rzip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

class RzipFixture : public ::testing::Test {
protected:
    std::string package_path() const { return folder.path() + "package.zreg"; }
    std::string out() const { return folder.path() + "out/"; }

    // Writes the package and unpacks all of it; the reader stays for its warnings.
    rzip::Decompression& extract(const std::vector<test_support::RzipEntry>& entries,
                                 std::uint16_t divisor = 1) {
        test_support::write_rzip_package(package_path(), entries, divisor);
        return extract_written();
    }
    rzip::Decompression& extract_written() {
        reader.emplace(package_path());
        reader->extract_all_files(out());
        return *reader;
    }

    // Unpacks and returns the message of the rzip::Exception it must throw.
    std::string extract_error(const std::vector<test_support::RzipEntry>& entries,
                              std::uint16_t divisor = 1) {
        try {
            extract(entries, divisor);
        } catch (const rzip::Exception& e) {
            return e.what();
        }
        ADD_FAILURE() << "no rzip::Exception";
        return {};
    }

    // Names in the output folder, sorted.
    std::vector<std::string> written() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(out()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder;
    std::optional<rzip::Decompression> reader;
};
