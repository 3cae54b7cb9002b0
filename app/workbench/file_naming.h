#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Operator;

// The output name of the six-step sequences: chosen once with "Set
// Filename", then reused or numbered for each capture. The current name, the
// stem the numbered names grow from, the counter and the freshness flag
// change only here, so they always agree: every name chosen in a dialog
// becomes both the current name and the stem.
class FileNaming {
public:
    enum class Wording { Reflection, Transmission };

    // `showFileName` puts the name where the main window shows it (panel 2).
    FileNaming(Operator &op, std::function<void(const QString &)> showFileName);

    // The ".six" the next composition writes; empty until one is chosen.
    const QString &currentFileName() const { return currentFileName_; }
    // The current name as last chosen, without its last four characters.
    const QString &baseName() const { return baseName_; }
    int16_t fileCounter() const { return fileCounter_; }
    // True while the current name has not yet been used for written data.
    bool fileNameFresh() const { return fileNameFresh_; }

    // "Set Filename": asks for a ".six" name and starts numbering afresh,
    // whether the operator chooses a name or cancels.
    void setFilename();
    // A ".six" name the operator chose in another dialog: it becomes the
    // current name and the stem, fresh, with the numbering started afresh.
    void adopt(const QString &fileName);
    // New data comes in under the current name (a ".six" read for
    // alignment or masking), so the next capture does not ask first.
    void markFresh() { fileNameFresh_ = true; }
    // Data has been written under the current name.
    void markUsed() { fileNameFresh_ = false; }

    // Run by a sequence before it takes any image; false ends the sequence.
    // A name dialog cancelled here ends it too, with nothing changed, since
    // the question promised a new name.
    bool namingStep(Wording wording, bool autoIncrement);

private:
    std::optional<QString> askForName();
    void startAfresh();

    Operator &op_;
    std::function<void(const QString &)> showFileName_;
    QString currentFileName_;
    QString baseName_;
    int16_t fileCounter_ = 0;
    bool fileNameFresh_ = false;
};
