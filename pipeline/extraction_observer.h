#pragma once

// How an extraction job reaches its user. The job calls these on the thread it runs on; the
// desktop program forwards them to its user-interface thread, the command-line program writes them
// to its standard streams. Texts are UTF-8.

#include <string>
#include <vector>

class ExtractionObserver {
public:
    virtual ~ExtractionObserver() = default;

    // The package being processed ("Обрабатывается файл ...").
    virtual void status(const std::string& text) = 0;

    // Percentage of the bytes of the listed packages processed so far.
    virtual void position(int percent) = 0;

    // A package could not be processed. Returns only once the user has acknowledged the message;
    // the job goes on with the next package afterwards. reason is the error that stopped it.
    virtual void error(const std::string& caption, const std::string& text, const std::string& reason) = 0;

    // The job has ended; the report is complete. Called exactly once, as the job's last act.
    virtual void finished(const std::vector<std::string>& report) = 0;
};
