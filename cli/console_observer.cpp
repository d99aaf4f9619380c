#include "cli/console_observer.h"

#include <algorithm>

namespace {

constexpr int k_bar_width = 40;

} // namespace

ConsoleObserver::ConsoleObserver(std::FILE* output, std::FILE* errors, bool errors_on_terminal)
    : output(output), errors(errors), terminal(errors_on_terminal) {}

void ConsoleObserver::status(const std::string& text) {
    write_line(text);
}

void ConsoleObserver::position(int percent) {
    last_percent = percent;
    if (terminal)
        draw_bar();
    else
        std::fprintf(errors, "%d%%\n", percent);
    std::fflush(errors);
}

void ConsoleObserver::error(const std::string& caption, const std::string& text, const std::string& reason) {
    std::string heading = caption;
    heading.erase(0, heading.find_first_not_of(' '));
    write_line(heading + ": " + text + ": " + reason);
}

void ConsoleObserver::finished(const std::vector<std::string>& report) {
    if (bar_shown)
        std::fputc('\n', errors);
    bar_shown = false;
    std::fflush(errors);
    for (const auto& line : report)
        std::fprintf(output, "%s\n", line.c_str());
    std::fflush(output);
}

// A line on standard error; on a terminal it goes above the bar, which is drawn again below it.
void ConsoleObserver::write_line(const std::string& text) {
    if (bar_shown)
        std::fputs("\r\033[K", errors);
    std::fprintf(errors, "%s\n", text.c_str());
    if (bar_shown)
        draw_bar();
    std::fflush(errors);
}

void ConsoleObserver::draw_bar() {
    const int filled = std::clamp(last_percent, 0, 100) * k_bar_width / 100;
    std::fprintf(errors, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(k_bar_width - filled, '.').c_str(), last_percent);
    bar_shown = true;
}
