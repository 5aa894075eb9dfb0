// Values read from a project file that size or count something (a pole step, a height, an area's length) are
// brought into the range the program can build and draw; each such repair is noted, so that the document can tell
// the user once the file is read.
#pragma once

namespace ObjectModel {

// `value` when it is finite and within [low, high]; otherwise `fallback` for a value that is no number, or the
// nearer bound. Either way the repair is noted.
double CheckedRead(double value, double low, double high, double fallback);

// How many values were repaired since the last call; the count starts again at 0.
int TakeRepairedValues();

}  // namespace ObjectModel
