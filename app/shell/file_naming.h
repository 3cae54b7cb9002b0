#pragma once

#include <QString>
#include <cstdint>
#include <functional>

struct AppState;
class Operator;

// The output name of the six-step sequences: chosen once with "Set
// Filename", then reused or numbered for each capture.
class FileNaming {
public:
    enum class Wording { Reflection, Transmission };

    FileNaming(AppState &state, Operator &op, std::function<void(const QString &)> showFileName);

    // "Set Filename": asks for a ".six" name and starts numbering afresh.
    void setFilename();

    // Run by a sequence before it takes any image. False ends the sequence.
    bool namingStep(Wording wording, bool autoIncrement);

    const QString &baseName() const { return baseName_; }
    int16_t fileCounter() const { return fileCounter_; }

private:
    AppState &state_;
    Operator &op_;
    std::function<void(const QString &)> showFileName_;
    QString baseName_;
    int16_t fileCounter_ = 0;
};
