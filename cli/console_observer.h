#pragma once

// The job's user on a console: the report to standard output, one line each; the status texts, the
// progress and the errors to standard error. On a terminal the progress is a bar redrawn in place,
// elsewhere (a log file, a pipe) one percentage line per step.

#include "pipeline/extraction_observer.h"

#include <cstdio>

class ConsoleObserver : public ExtractionObserver {
public:
    ConsoleObserver(std::FILE* output, std::FILE* errors, bool errors_on_terminal);

    void status(const std::string& text) override;
    void position(int percent) override;
    void error(const std::string& caption, const std::string& text, const std::string& reason) override;
    void finished(const std::vector<std::string>& report) override;

private:
    void write_line(const std::string& text);
    void draw_bar();

    std::FILE* output;
    std::FILE* errors;
    bool terminal;
    bool bar_shown = false;
    int last_percent = 0;
};
