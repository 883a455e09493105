#include "fileops/command_report.h"

void runReported(const CommandReport& report, const std::function<void()>& steps)
{
    Failure failure;
    try {
        steps();
        return;
    } catch (const PxError& error) {
        failure = error.failure;
    } catch (const std::exception&) {
        // Not one of ours: reported without a description, as "Unknown ...".
    }
    if (report.record == CommandReport::Record::Fixed)
        failure = Failure{};
    reportError(report.texts, failure, report.beep);
}
