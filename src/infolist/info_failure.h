#pragma once
#include "core/failure.h"
#include "report/error_report.h"

// How a failed info list ends: a beep, a program-log record and a critical
// message box, worded by what the failure says and by how many files the
// working list held.
void reportInfoListFailure(const Reporting& to, const Failure& failure, int listCount);
