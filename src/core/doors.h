#pragma once

#include <QString>

namespace trazel {

// The narrow doors between the rooms of the program: what one subsystem's commands may ask of another
// that sits on a floor above it. The room above implements the door; the window hands it over.

// The results tables of the three traces (measure).
class ResultsTables {
public:
    // Empties every results table and its records and heads the tables for the current mode.
    virtual void ResetTable() = 0;

protected:
    ~ResultsTables() = default;
};

// The window's caption, which shows the mode ("CONTINUOUS MODE", "BLOCK MODE (500 ms)" …).
class Caption {
public:
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;

protected:
    ~Caption() = default;
};

// The trace selectors (window): selecting trace t (1..3) works as a click on its selector does.
class TraceSelection {
public:
    virtual void selectTrace(int t) = 0;

protected:
    ~TraceSelection() = default;
};

// The recent files under File > Open (files).
class RecentFilesMenu {
public:
    // Lists them in the evaluation layout and hides them in the recording layout.
    virtual void showRecentFiles() = 0;

protected:
    ~RecentFilesMenu() = default;
};

// The recording panel (acquisition): its settings fields and its input, as the layout commands set them up.
class RecordingSetup {
public:
    // File length 180 s and one stimulus without delay.
    virtual void resetRecordingSettings() = 0;
    // The fields as the recording layout starts: continuous mode at the current rate, no channels; the
    // inputs listed.
    virtual void prepareRecordingLayout() = 0;
    // The window's caption for the mode in force, with the file name once data are loaded.
    virtual void writeModeCaption() = 0;

protected:
    ~RecordingSetup() = default;
};

} // namespace trazel
