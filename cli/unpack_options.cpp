#include "cli/unpack_options.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string_view>

const char* const k_unpack_usage =
    "Использование: talvex2-unpack [--from ПАПКА] [--to ПАПКА] [--registry ФАЙЛ] [--work ПАПКА] [ПАКЕТ]\n"
    "\n"
    "Распаковывает новые и изменившиеся пакеты данных ГТИ (*.zreg, *.rar, *.7z_reg, *.compr_rt)\n"
    "в папку данных: <папка данных>/<площадь>/<скважина>/.\n"
    "\n"
    "  --from ПАПКА      папка с пакетами (по умолчанию from_path из talvex2.ini)\n"
    "  --to ПАПКА        папка данных (по умолчанию to_path из talvex2.ini, иначе ~/gtidata/)\n"
    "  --registry ФАЙЛ   реестр обработанных пакетов (по умолчанию TemporaryFileData.bin)\n"
    "  --work ПАПКА      рабочая папка, очищается при каждом пакете (по умолчанию temp.dir.tmp)\n"
    "  ПАКЕТ             распаковать только этот пакет\n"
    "  --help            эта справка\n"
    "\n"
    "talvex2.ini, реестр и рабочая папка лежат в папке программы, если в неё можно писать,\n"
    "иначе в $XDG_DATA_HOME/Talvex2/ (~/.local/share/Talvex2/).\n"
    "Отчёт выводится в стандартный вывод, ход работы и ошибки - в стандартный поток ошибок.\n"
    "Код возврата: 0 - всё распаковано, 1 - пакет не удалось распаковать, 2 - неверные аргументы.\n";

UnpackOptions parse_unpack_options(const std::vector<std::string>& arguments) {
    UnpackOptions options;
    const std::pair<std::string_view, std::optional<std::string>*> valued[] = {
        {"--from", &options.from},
        {"--to", &options.to},
        {"--registry", &options.registry},
        {"--work", &options.work}};
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (options_ended || argument == "-" || !argument.starts_with("-")) {
            if (!options.package.empty())
                throw std::invalid_argument("можно указать только один пакет");
            options.package = argument;
        } else if (argument == "--") {
            options_ended = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            const auto equals = argument.find('=');
            const auto name = argument.substr(0, equals);
            const auto option = std::find_if(std::begin(valued), std::end(valued),
                                             [&](const auto& entry) { return entry.first == name; });
            if (option == std::end(valued))
                throw std::invalid_argument("неизвестный параметр " + name);
            if (equals == std::string::npos && i + 1 == arguments.size())
                throw std::invalid_argument("после " + name + " нужно значение");
            *option->second = equals == std::string::npos ? arguments[++i] : argument.substr(equals + 1);
            if ((*option->second)->empty())
                throw std::invalid_argument("пустое значение " + name);
        }
    }
    return options;
}
