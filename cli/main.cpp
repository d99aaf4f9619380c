// talvex2-unpack: runs one extraction job, exactly as the desktop program does, from the command line.

#include "cli/console_observer.h"
#include "cli/unpack_options.h"
#include "pipeline/configuration.h"
#include "pipeline/extract_thread.h"
#include "pipeline/files_data_storage.h"
#include "pipeline/state_folder.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr int k_all_done = 0;
constexpr int k_package_failed = 1;
constexpr int k_bad_usage = 2;

// Paths of the command line are made absolute, so that the registry holds full package paths
// whatever folder the program was started from.
std::string absolute(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

std::string absolute_folder(const std::string& path) {
    return with_trailing_slash(absolute(path));
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    UnpackOptions options;
    try {
        options = parse_unpack_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "talvex2-unpack: %s\n\n%s", error.what(), k_unpack_usage);
        return k_bad_usage;
    }
    if (options.help) {
        std::fputs(k_unpack_usage, stdout);
        return k_all_done;
    }

    const auto state = state_folder();
    const auto settings_file = state + "talvex2.ini";
    CONFIGURATION configuration = default_configuration();
    try {
        load_settings(settings_file, configuration);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "talvex2-unpack: %s\n", error.what());
        return k_bad_usage;
    }
    if (options.from)
        configuration.from_path = absolute_folder(*options.from);
    if (options.to)
        configuration.to_path = absolute_folder(*options.to);
    if (configuration.from_path.empty() && options.package.empty()) {
        std::fprintf(stderr,
                     "talvex2-unpack: папка с пакетами не задана: укажите --from или from_path в %s\n",
                     settings_file.c_str());
        return k_bad_usage;
    }
    const auto registry_file =
        options.registry ? absolute(*options.registry) : state + "TemporaryFileData.bin";
    auto work_folder = options.work ? absolute(*options.work) : state + "temp.dir.tmp";
    while (work_folder.size() > 1 && work_folder.back() == '/')
        work_folder.pop_back();
    const auto package = options.package.empty() ? std::string() : absolute(options.package);

    FilesDataStorage registry;
    registry.load(registry_file);
    ConsoleObserver observer(stdout, stderr, isatty(STDERR_FILENO) == 1);
    TExtractThread job(work_folder, observer, &registry, package, configuration);
    job.Execute();
    if (!registry.save(registry_file)) {
        std::fprintf(stderr, "talvex2-unpack: не удалось записать реестр обработанных пакетов %s\n",
                     registry_file.c_str());
        return k_package_failed;
    }
    return job.failed_packages() == 0 ? k_all_done : k_package_failed;
}
