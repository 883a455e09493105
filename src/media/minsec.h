#pragma once
#include <QString>

// A time in milliseconds as whole minutes and seconds: "m:ss" followed by two
// spaces ("2:35  "). The minute fraction is cut to four decimals before it is
// turned into seconds, rounded half to even; 60 seconds carry into the next
// minute. Negative times read as 0:00.
QString minsec(qint32 milliseconds);
