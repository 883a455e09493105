#pragma once
#include "core/failure.h"

class Dialogs;

// How a failed info list ends: a beep, a program-log record and a critical
// message box, worded by what the failure says and by how many files the
// working list held.
void reportInfoListFailure(Dialogs& dialogs, const Failure& failure, int listCount);
