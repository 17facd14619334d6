#pragma once

#include <QString>
#include <vector>

class QTextStream;

namespace trazel {

// What `trazel --record` was asked for.
struct UnattendedOptions {
    QString file;
    QString input;                // "simulated" or the id of an input of the sound server
    double rate = 0;              // points a second
    double seconds = 0;           // the file length
    std::vector<int> channels{1}; // the input channels, one per trace (up to three)
};

// Records a continuous file without a window, by the recording layout's rules and with its writer: the
// same header, the points written once a second, the file complete when its length is full. Progress once
// a second and any failure go to `messages`. 0 once the file is full; otherwise the failure's status.
int recordUnattended(const UnattendedOptions& options, QTextStream& messages);

// The inputs, one a line: "simulated", then each input of the sound server by its id and description.
void listInputs(QTextStream& out);

} // namespace trazel
